#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "platform/PanelSurface.h"

namespace vantorel {

// A panel surface that says when it comes on screen and when it leaves, once per change: what
// the X11 capture needs to keep windows redirected only while the switcher shows.
class ShownSurface final : public PanelSurface {
public:
    ShownSurface(std::unique_ptr<PanelSurface> inner, std::function<void(bool shown)> onChange)
        : inner_(std::move(inner)), onChange_(std::move(onChange)) {}
    ~ShownSurface() override { set(false); }

    Size fittingSize() override { return inner_->fittingSize(); }
    bool isVisible() const override { return inner_->isVisible(); }
    bool isFadingOut() const override { return inner_->isFadingOut(); }
    void setContentSize(Size size) override { inner_->setContentSize(size); }
    void setFrameOrigin(Point origin) override { inner_->setFrameOrigin(origin); }
    void fadeIn() override {
        set(true);
        inner_->fadeIn();
    }
    void fadeOut() override {
        inner_->fadeOut();
        set(false);
    }
    void orderFront() override {
        set(true);
        inner_->orderFront();
    }
    void orderOut() override {
        inner_->orderOut();
        set(false);
    }
    void setHoverHandler(std::function<void(bool)> handler) override {
        inner_->setHoverHandler(std::move(handler));
    }

private:
    void set(bool shown) {
        if (shown == shown_) return;
        shown_ = shown;
        if (onChange_) onChange_(shown);
    }

    std::unique_ptr<PanelSurface> inner_;
    std::function<void(bool)> onChange_;
    bool shown_ = false;
};

}  // namespace vantorel
