#pragma once

#include <memory>

#include "app/AppCoordinator.h"

namespace vantorel {

// Keeps the long-lived controllers the start-up sequence creates alive for as long as the
// application runs; nothing in it is torn down before the process ends. The welcome controller
// joins the coordinator here once the welcome window exists.
struct AppRetainer {
    std::unique_ptr<AppCoordinator> coordinator;
};

}  // namespace vantorel
