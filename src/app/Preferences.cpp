#include "app/Preferences.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace vantorel {
namespace {

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The choices of an enumeration as the log shows them: "auto, grid, list, large".
template <typename Enum, std::size_t N>
std::string choices(const std::array<Enum, N>& all) {
    std::string text;
    for (const auto value : all) {
        if (!text.empty()) text += ", ";
        text += toString(value);
    }
    return text;
}

const std::string* storedString(const std::optional<DefaultsValue>& stored) {
    return stored ? stored->as<std::string>() : nullptr;
}

std::string formatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

Preferences::Preferences(DefaultsSuite& defaults, Logger& logger)
    : defaults_(defaults), log_(logger, "app") {
    showDelayMS_ = loadDouble(kShowDelayMSKey, kDefaultShowDelayMS);
    hideDelayMS_ = loadDouble(kHideDelayMSKey, kDefaultHideDelayMS);
    altTabEnabled_ = loadBool(kAltTabEnabledKey);
    liveThumbnails_ = loadBool(kLiveThumbnailsKey);

    const auto layout = defaults_.object(kPreviewLayoutKey);
    if (const auto* raw = storedString(layout); raw && previewLayoutFromString(*raw)) {
        previewLayout_ = *previewLayoutFromString(*raw);
    } else if (layout) {
        ignoring(kPreviewLayoutKey, "one of " + choices(kAllPreviewLayouts), "auto");
    }

    const auto size = defaults_.object(kPreviewSizeKey);
    if (const auto* raw = storedString(size); raw && previewSizeFromString(*raw)) {
        previewSize_ = *previewSizeFromString(*raw);
    } else if (size) {
        ignoring(kPreviewSizeKey, "one of " + choices(kAllPreviewSizes), "medium");
    }

    compactThreshold_ = loadInteger(kCompactThresholdKey, kDefaultCompactThreshold);
    folderPopEnabled_ = loadBool(kFolderPopEnabledKey);

    const auto sort = defaults_.object(kFolderSortKey);
    if (const auto* raw = storedString(sort); raw && folderSortFromString(*raw)) {
        folderSort_ = *folderSortFromString(*raw);
    } else if (sort) {
        ignoring(kFolderSortKey, "one of " + choices(kAllFolderSorts), "name");
    }

    calendarWidgetEnabled_ = loadBool(kCalendarWidgetEnabledKey);
    mediaControlsEnabled_ = loadBool(kMediaControlsEnabledKey);
    remindersWidgetEnabled_ = loadBool(kRemindersWidgetEnabledKey);
}

double Preferences::loadDouble(std::string_view key, double fallback) const {
    const auto stored = defaults_.object(key);
    if (!stored) return fallback;
    // Any stored number is used as it is, NaN and infinities included: the hover timing clamps
    // where it turns the delays into durations.
    if (const auto* value = stored->as<double>()) return *value;
    // The platform's number objects hold 180 and 180.0 alike; an integer is a number here.
    if (const auto* value = stored->as<std::int64_t>()) return static_cast<double>(*value);
    ignoring(key, "a number", formatNumber(fallback));
    return fallback;
}

std::int64_t Preferences::loadInteger(std::string_view key, std::int64_t fallback) const {
    const auto stored = defaults_.object(key);
    if (!stored) return fallback;
    if (const auto* value = stored->as<std::int64_t>()) return *value;
    // A double is an integer only when it holds a whole number that fits 64 bits exactly;
    // 6.5, NaN or 1e300 are not counts.
    if (const auto* value = stored->as<double>()) {
        constexpr double kLimit = 9223372036854775808.0;  // 2^63
        if (std::isfinite(*value) && std::trunc(*value) == *value && *value >= -kLimit &&
            *value < kLimit) {
            return static_cast<std::int64_t>(*value);
        }
    }
    ignoring(key, "an integer", std::to_string(fallback));
    return fallback;
}

bool Preferences::loadBool(std::string_view key) const {
    const auto stored = defaults_.object(key);
    if (!stored) return true;
    if (const auto* value = stored->as<bool>()) return *value;
    ignoring(key, "a boolean", "true");
    return true;
}

void Preferences::ignoring(std::string_view key, std::string_view expected,
                           std::string_view fallback) const {
    log_.error("Ignoring stored " + quoted(key) + ": not " + std::string(expected) +
               "; using the default " + std::string(fallback));
}

void Preferences::persist() {
    defaults_.setObject(kShowDelayMSKey, showDelayMS_);
    defaults_.setObject(kHideDelayMSKey, hideDelayMS_);
    defaults_.setObject(kAltTabEnabledKey, altTabEnabled_);
    defaults_.setObject(kLiveThumbnailsKey, liveThumbnails_);
    defaults_.setObject(kPreviewLayoutKey, std::string(toString(previewLayout_)));
    defaults_.setObject(kPreviewSizeKey, std::string(toString(previewSize_)));
    defaults_.setObject(kCompactThresholdKey, compactThreshold_);
    defaults_.setObject(kFolderPopEnabledKey, folderPopEnabled_);
    defaults_.setObject(kFolderSortKey, std::string(toString(folderSort_)));
    defaults_.setObject(kCalendarWidgetEnabledKey, calendarWidgetEnabled_);
    defaults_.setObject(kMediaControlsEnabledKey, mediaControlsEnabled_);
    defaults_.setObject(kRemindersWidgetEnabledKey, remindersWidgetEnabled_);
}

}  // namespace vantorel
