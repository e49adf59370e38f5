#pragma once

namespace vantorel {

// Whether the transparent parts of a top-level window show what lies beneath it. Under X11 that
// takes a compositing manager (the owner of the _NET_WM_CM_S<screen> selection); without one they
// come out black. The other platforms Qt runs on here (Wayland, offscreen) always composite.
bool translucentWindowsSupported();

}  // namespace vantorel
