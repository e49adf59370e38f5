#pragma once

namespace vantorel {

class UserDefaults;

// The screen edge the Dock is attached to.
enum class DockEdge { bottom, left, right };

// Read from the Dock's "orientation" preference each time; anything unexpected is the bottom.
DockEdge currentDockEdge(UserDefaults& defaults);

const char* toString(DockEdge edge);

}  // namespace vantorel
