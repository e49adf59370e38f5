#pragma once

#include <cstdlib>
#include <memory>

namespace vantorel {

// A reply of the X library, which the caller frees with free().
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

}  // namespace vantorel
