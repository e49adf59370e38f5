#include "platform/qt/Appearance.h"

#include "platform/qt/DesktopAppearance.h"

namespace vantorel {

Appearance::Appearance(std::unique_ptr<AppearanceSource> source, QObject* parent)
    : QObject(parent), source_(std::move(source)) {}

Appearance::~Appearance() = default;

Appearance& Appearance::shared() {
    static Appearance instance(std::make_unique<DesktopAppearance>());
    return instance;
}

bool Appearance::reduceMotion() const {
    return value(&AppearanceValues::reduceMotion);
}

bool Appearance::reduceTransparency() const {
    return value(&AppearanceValues::reduceTransparency);
}

void Appearance::setReduceMotionOverride(std::optional<bool> value) {
    setOverride(&AppearanceValues::reduceMotion, value);
}

void Appearance::setReduceTransparencyOverride(std::optional<bool> value) {
    setOverride(&AppearanceValues::reduceTransparency, value);
}

void Appearance::refresh() {
    const std::optional<bool> motion = knownValue(&AppearanceValues::reduceMotion);
    const std::optional<bool> transparency = knownValue(&AppearanceValues::reduceTransparency);
    desktop_.reset();
    if ((motion && *motion != reduceMotion()) ||
        (transparency && *transparency != reduceTransparency())) {
        emit changed();
    }
}

bool Appearance::value(Flag flag) const {
    if (const std::optional<bool>& own = overrides_.*flag) return *own;
    return (desktop().*flag).value_or(false);
}

std::optional<bool> Appearance::knownValue(Flag flag) const {
    if (const std::optional<bool>& own = overrides_.*flag) return *own;
    if (desktop_) return ((*desktop_).*flag).value_or(false);
    return std::nullopt;
}

void Appearance::setOverride(Flag flag, std::optional<bool> newValue) {
    const std::optional<bool> before = knownValue(flag);
    overrides_.*flag = newValue;
    if (before && *before != value(flag)) emit changed();
}

const AppearanceValues& Appearance::desktop() const {
    if (!desktop_) desktop_ = source_ ? source_->read() : AppearanceValues{};
    return *desktop_;
}

}  // namespace vantorel
