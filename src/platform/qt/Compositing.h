#pragma once

namespace vantorel {

// How a compositor that blurs behind windows (KWin, picom) is asked to: a property on the window
// naming the region, which KWin also sets on the root window to say it offers this.
inline constexpr const char* kBlurBehindProperty = "_KDE_NET_WM_BLUR_BEHIND_REGION";

// Whether the transparent parts of a top-level window show what lies beneath it. Under X11 that
// takes a compositing manager (the owner of the _NET_WM_CM_S<screen> selection); without one they
// come out black. The other platforms Qt runs on here (Wayland, offscreen) always composite.
// Asked afresh on every call: a compositing manager can start or stop at any time.
bool translucentWindowsSupported();

// Whether the compositor announces that it blurs behind windows that ask for it.
bool blurBehindOffered();

}  // namespace vantorel
