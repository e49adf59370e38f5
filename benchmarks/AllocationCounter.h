#pragma once

#include <cstdint>

namespace vantorel {

// Every operator new of the benchmark binary that links AllocationCounter.cpp is counted here.
std::uint64_t allocationCount();

}  // namespace vantorel
