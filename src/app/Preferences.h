#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/Logger.h"
#include "platform/UserDefaults.h"
#include "preview/PreviewLayout.h"
#include "preview/PreviewSize.h"
#include "widgets/FolderSort.h"

namespace vantorel {

// The twelve user-visible settings, kept in memory and persisted in the application's own
// defaults domain. Loaded once at construction; changes other processes make to the store
// while we run are not picked up. Main thread only.
class Preferences {
public:
    static constexpr std::string_view kShowDelayMSKey = "showDelayMS";
    static constexpr std::string_view kHideDelayMSKey = "hideDelayMS";
    static constexpr std::string_view kAltTabEnabledKey = "altTabEnabled";
    static constexpr std::string_view kLiveThumbnailsKey = "liveThumbnails";
    static constexpr std::string_view kPreviewLayoutKey = "previewLayout";
    static constexpr std::string_view kPreviewSizeKey = "previewSize";
    static constexpr std::string_view kCompactThresholdKey = "compactThreshold";
    static constexpr std::string_view kFolderPopEnabledKey = "folderPopEnabled";
    static constexpr std::string_view kFolderSortKey = "folderSort";
    static constexpr std::string_view kCalendarWidgetEnabledKey = "calendarWidgetEnabled";
    static constexpr std::string_view kMediaControlsEnabledKey = "mediaControlsEnabled";
    static constexpr std::string_view kRemindersWidgetEnabledKey = "remindersWidgetEnabled";

    // Every key, in the order the settings are loaded and persisted.
    static constexpr std::array<std::string_view, 12> kKeys = {
        kShowDelayMSKey,           kHideDelayMSKey,          kAltTabEnabledKey,
        kLiveThumbnailsKey,        kPreviewLayoutKey,        kPreviewSizeKey,
        kCompactThresholdKey,      kFolderPopEnabledKey,     kFolderSortKey,
        kCalendarWidgetEnabledKey, kMediaControlsEnabledKey, kRemindersWidgetEnabledKey};

    static constexpr double kDefaultShowDelayMS = 180.0;
    static constexpr double kDefaultHideDelayMS = 260.0;
    static constexpr std::int64_t kDefaultCompactThreshold = 6;

    // Reads every setting from the store. A missing value, or one of the wrong kind, gives the
    // default; the wrong kind is also logged (category "app").
    Preferences(DefaultsSuite& defaults, Logger& logger);
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    // Called after every write, also when the value did not change.
    std::function<void()> onChange;

    // The delays are stored unvalidated; whoever turns them into durations clamps them.
    double showDelayMS() const { return showDelayMS_; }
    void setShowDelayMS(double value) { write(showDelayMS_, value); }
    double hideDelayMS() const { return hideDelayMS_; }
    void setHideDelayMS(double value) { write(hideDelayMS_, value); }
    bool altTabEnabled() const { return altTabEnabled_; }
    void setAltTabEnabled(bool value) { write(altTabEnabled_, value); }
    bool liveThumbnails() const { return liveThumbnails_; }
    void setLiveThumbnails(bool value) { write(liveThumbnails_, value); }
    PreviewLayout previewLayout() const { return previewLayout_; }
    void setPreviewLayout(PreviewLayout value) { write(previewLayout_, value); }
    PreviewSize previewSize() const { return previewSize_; }
    void setPreviewSize(PreviewSize value) { write(previewSize_, value); }
    std::int64_t compactThreshold() const { return compactThreshold_; }
    void setCompactThreshold(std::int64_t value) { write(compactThreshold_, value); }
    bool folderPopEnabled() const { return folderPopEnabled_; }
    void setFolderPopEnabled(bool value) { write(folderPopEnabled_, value); }
    FolderSort folderSort() const { return folderSort_; }
    void setFolderSort(FolderSort value) { write(folderSort_, value); }
    bool calendarWidgetEnabled() const { return calendarWidgetEnabled_; }
    void setCalendarWidgetEnabled(bool value) { write(calendarWidgetEnabled_, value); }
    bool mediaControlsEnabled() const { return mediaControlsEnabled_; }
    void setMediaControlsEnabled(bool value) { write(mediaControlsEnabled_, value); }
    bool remindersWidgetEnabled() const { return remindersWidgetEnabled_; }
    void setRemindersWidgetEnabled(bool value) { write(remindersWidgetEnabled_, value); }

private:
    template <typename T>
    void write(T& field, T value) {
        field = value;
        persist();
        if (onChange) onChange();
    }

    void persist();
    double loadDouble(std::string_view key, double fallback) const;
    std::int64_t loadInteger(std::string_view key, std::int64_t fallback) const;
    bool loadBool(std::string_view key) const;
    void ignoring(std::string_view key, std::string_view expected, std::string_view fallback) const;

    DefaultsSuite& defaults_;
    Log log_;

    double showDelayMS_ = kDefaultShowDelayMS;
    double hideDelayMS_ = kDefaultHideDelayMS;
    bool altTabEnabled_ = true;
    bool liveThumbnails_ = true;
    PreviewLayout previewLayout_ = PreviewLayout::automatic;
    PreviewSize previewSize_ = PreviewSize::medium;
    std::int64_t compactThreshold_ = kDefaultCompactThreshold;
    bool folderPopEnabled_ = true;
    FolderSort folderSort_ = FolderSort::name;
    bool calendarWidgetEnabled_ = true;
    bool mediaControlsEnabled_ = true;
    bool remindersWidgetEnabled_ = true;
};

}  // namespace vantorel
