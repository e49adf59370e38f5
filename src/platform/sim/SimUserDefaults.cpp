#include "platform/sim/SimUserDefaults.h"

namespace vantorel {

std::optional<DefaultsValue> SimDefaultsSuite::object(std::string_view key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void SimDefaultsSuite::setObject(std::string_view key, DefaultsValue value) {
    ++writes_;
    values_.insert_or_assign(std::string(key), std::move(value));
}

void SimDefaultsSuite::removeObject(std::string_view key) {
    const auto it = values_.find(key);
    if (it != values_.end()) values_.erase(it);
}

SimUserDefaults::SimUserDefaults() : standard_(std::make_shared<SimDefaultsSuite>()) {}

std::shared_ptr<DefaultsSuite> SimUserDefaults::suite(std::string_view name) {
    if (unopenable_.count(name) != 0) return nullptr;
    const auto it = suites_.find(name);
    if (it != suites_.end()) return it->second;
    // Opening a domain nobody wrote gives an empty one, as on the platform.
    return std::make_shared<SimDefaultsSuite>();
}

SimDefaultsSuite& SimUserDefaults::domain(const std::string& name) {
    auto& slot = suites_[name];
    if (!slot) slot = std::make_shared<SimDefaultsSuite>();
    return *slot;
}

void SimUserDefaults::setUnopenable(const std::string& name, bool unopenable) {
    if (unopenable) {
        unopenable_.insert(name);
    } else {
        unopenable_.erase(name);
    }
}

}  // namespace vantorel
