#pragma once

#include <memory>

#include "app/AppCoordinator.h"
#include "settings/WelcomeController.h"

namespace vantorel {

// Keeps the long-lived controllers the start-up sequence creates alive for as long as the
// application runs; nothing in it is torn down before the process ends.
struct AppRetainer {
    std::unique_ptr<AppCoordinator> coordinator;
    std::unique_ptr<WelcomeController> welcome;
};

}  // namespace vantorel
