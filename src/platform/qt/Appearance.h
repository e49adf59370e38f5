#pragma once

#include <QObject>

#include <memory>
#include <optional>

#include "platform/qt/AppearanceSource.h"

namespace vantorel {

// The one place views read reduce motion and reduce transparency from. The application's own
// override wins, then what the desktop says, then off.
class Appearance final : public QObject {
    Q_OBJECT

public:
    // A null source means the desktop says nothing.
    explicit Appearance(std::unique_ptr<AppearanceSource> source, QObject* parent = nullptr);
    ~Appearance() override;

    // The process-wide instance, reading the desktop (first asked when a flag is first read).
    static Appearance& shared();

    bool reduceMotion() const;
    bool reduceTransparency() const;

    // Empty removes the override. Emits changed() when an effective value changes.
    void setReduceMotionOverride(std::optional<bool> value);
    void setReduceTransparencyOverride(std::optional<bool> value);

    // Asks the desktop again, for when its settings may have changed.
    void refresh();

signals:
    void changed();

private:
    using Flag = std::optional<bool> AppearanceValues::*;
    bool value(Flag flag) const;
    // The value a view can have seen so far, without asking the desktop: a flag nobody could
    // have read needs no change signal.
    std::optional<bool> knownValue(Flag flag) const;
    void setOverride(Flag flag, std::optional<bool> value);
    const AppearanceValues& desktop() const;

    std::unique_ptr<AppearanceSource> source_;
    AppearanceValues overrides_;
    // Read on first need, so an application that overrides both flags never asks the desktop.
    mutable std::optional<AppearanceValues> desktop_;
};

}  // namespace vantorel
