#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace vantorel {

struct DefaultsValue;
using DefaultsArray = std::vector<DefaultsValue>;
using DefaultsDictionary = std::map<std::string, DefaultsValue>;

// One object of the user defaults store. Booleans, integers and doubles stay apart, as the
// property-list types do.
struct DefaultsValue {
    std::variant<bool, std::int64_t, double, std::string, DefaultsArray, DefaultsDictionary> data;

    DefaultsValue() : data(false) {}
    DefaultsValue(bool v) : data(v) {}
    DefaultsValue(int v) : data(std::int64_t{v}) {}
    DefaultsValue(std::int64_t v) : data(v) {}
    DefaultsValue(double v) : data(v) {}
    DefaultsValue(const char* v) : data(std::string(v)) {}
    DefaultsValue(std::string v) : data(std::move(v)) {}
    DefaultsValue(DefaultsArray v) : data(std::move(v)) {}
    DefaultsValue(DefaultsDictionary v) : data(std::move(v)) {}

    template <typename T>
    const T* as() const {
        return std::get_if<T>(&data);
    }

    friend bool operator==(const DefaultsValue&, const DefaultsValue&) = default;
};

}  // namespace vantorel
