#pragma once

#include <string_view>

namespace vantorel {

// The embedded default world of the simulated desktop (JSON).
std::string_view defaultWorldJson();

}  // namespace vantorel
