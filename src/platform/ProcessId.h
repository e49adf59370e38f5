#pragma once

#include <cstdint>

namespace vantorel {

using ProcessId = std::int32_t;

}  // namespace vantorel
