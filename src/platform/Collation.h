#pragma once

#include <string>
#include <string_view>

namespace vantorel {

// Port: the file browser's ordering of names — locale-aware, case-insensitive, runs of digits
// compared by their numeric value ("file 9" before "file 10"). Safe to use from the worker
// that lists folders.
class Collation {
public:
    virtual ~Collation() = default;
    // A key whose byte order is the collation's order: a goes before b exactly when
    // sortKey(a) < sortKey(b). Texts that are not valid UTF-8 still get a key.
    virtual std::string sortKey(std::string_view text) = 0;
};

}  // namespace vantorel
