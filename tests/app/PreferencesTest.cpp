#include "app/Preferences.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <sstream>

#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimUserDefaults.h"

namespace vantorel {
namespace {

// Every setting in load order, booleans as 1/0: one comparison covers all twelve.
std::string summary(const Preferences& p) {
    std::ostringstream text;
    text << p.showDelayMS() << ' ' << p.hideDelayMS() << ' ' << p.altTabEnabled() << ' '
         << p.liveThumbnails() << ' ' << toString(p.previewLayout()) << ' '
         << toString(p.previewSize()) << ' ' << p.compactThreshold() << ' ' << p.folderPopEnabled()
         << ' ' << toString(p.folderSort()) << ' ' << p.calendarWidgetEnabled() << ' '
         << p.mediaControlsEnabled() << ' ' << p.remindersWidgetEnabled();
    return text.str();
}

const std::string kDefaults = "180 260 1 1 auto medium 6 1 name 1 1 1";

// The default summary with one key's field replaced.
std::string defaultsWith(std::string_view key, const std::string& value) {
    std::istringstream in(kDefaults);
    std::string text, field;
    for (const auto k : Preferences::kKeys) {
        in >> field;
        text += (text.empty() ? "" : " ") + (k == key ? value : field);
    }
    return text;
}

// Loads preferences from a store holding exactly these values.
std::string loaded(const DefaultsDictionary& stored, MemoryLogger& logger) {
    SimDefaultsSuite defaults;
    for (const auto& [key, value] : stored)
        defaults.setObject(key, value);
    const int writes = defaults.writeCount();
    const std::string text = summary(Preferences(defaults, logger));
    EXPECT_EQ(defaults.writeCount(), writes) << "loading never writes";
    return text;
}

// The error logged for a stored value of the wrong kind.
std::string ignored(const std::string& key) {
    static const std::map<std::string, std::string> expected = {
        {"showDelayMS", "a number; using the default 180"},
        {"hideDelayMS", "a number; using the default 260"},
        {"previewLayout", "one of auto, grid, list, large; using the default auto"},
        {"previewSize", "one of small, medium, large; using the default medium"},
        {"compactThreshold", "an integer; using the default 6"},
        {"folderSort", "one of name, dateModified, kind; using the default name"}};
    const auto found = expected.find(key);
    return "Ignoring stored \"" + key + "\": not " +
           (found == expected.end() ? "a boolean; using the default true" : found->second);
}

// Remembers every write in order, to check what one setter persists and as which type.
class RecordingSuite final : public DefaultsSuite {
public:
    std::optional<DefaultsValue> object(std::string_view key) const override {
        return store.object(key);
    }
    void setObject(std::string_view key, DefaultsValue value) override {
        writes.emplace_back(key);
        store.setObject(key, std::move(value));
    }
    void removeObject(std::string_view key) override { store.removeObject(key); }

    SimDefaultsSuite store;
    std::vector<std::string> writes;
};

TEST(PreferencesLoading, WholeStoresLoadQuietlyAndMissingBooleansReadTrue) {
    MemoryLogger logger;
    EXPECT_EQ(loaded({}, logger), kDefaults);
    EXPECT_EQ(loaded({{"altTabEnabled", false},
                      {"folderPopEnabled", false},
                      {"mediaControlsEnabled", false},
                      {"liveThumbnails", true}},
                     logger),
              "180 260 0 1 auto medium 6 0 name 1 0 1");
    EXPECT_TRUE(logger.lines().empty());
}

TEST(PreferencesLoading, EachKeyTakesOnlyItsOwnKindAndLogsTheRest) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    const struct {
        std::string key;
        DefaultsValue stored;
        std::string expected;  // empty: the default, with the error logged
    } cases[] = {
        {"altTabEnabled", std::int64_t{0}, ""},
        {"liveThumbnails", "false", ""},
        {"folderPopEnabled", 0.0, ""},
        {"calendarWidgetEnabled", DefaultsArray{false}, ""},
        {"showDelayMS", "250", ""},
        {"hideDelayMS", true, ""},
        // An integer is a number, and delays are kept unvalidated: the hover timing clamps.
        {"showDelayMS", std::int64_t{0}, "0"},
        {"showDelayMS", -40.0, "-40"},
        {"hideDelayMS", nan, "nan"},
        {"previewLayout", "grid", "grid"},
        {"previewLayout", "Grid", ""},
        {"previewLayout", "automatic", ""},
        {"previewLayout", DefaultsDictionary{}, ""},
        {"previewSize", "small", "small"},
        {"previewSize", "Large", ""},
        {"folderSort", "dateModified", "dateModified"},
        {"folderSort", "DateModified", ""},
        {"compactThreshold", std::int64_t{-3}, "-3"},
        {"compactThreshold", max, std::to_string(max)},
        {"compactThreshold", 8.0, "8"},
        {"compactThreshold", -9223372036854775808.0, "-9223372036854775808"},
        {"compactThreshold", 8.5, ""},
        {"compactThreshold", 9223372036854775808.0, ""},
        {"compactThreshold", true, ""}};
    for (const auto& [key, stored, expected] : cases) {
        SCOPED_TRACE(key + " = " + (expected.empty() ? "(rejected)" : expected));
        MemoryLogger logger;
        EXPECT_EQ(loaded({{key, stored}}, logger),
                  expected.empty() ? kDefaults : defaultsWith(key, expected));
        if (expected.empty()) {
            EXPECT_EQ(logger.messages("app"), std::vector<std::string>{ignored(key)});
            EXPECT_EQ(logger.lines().at(0).level, LogLevel::error);
        } else {
            EXPECT_TRUE(logger.lines().empty());
        }
    }
}

TEST(PreferencesWriting, EveryWriteEvenOfAnEqualValuePersistsAllTwelveKeysThenNotifies) {
    RecordingSuite defaults;
    MemoryLogger logger;
    defaults.store.setObject("didShowWelcome", true);
    defaults.store.setObject("compactThreshold", "eight");
    Preferences prefs(defaults, logger);
    logger.clear();
    std::vector<std::string> seen;
    prefs.onChange = [&] {
        seen.push_back(std::to_string(prefs.compactThreshold()) + "/" +
                       std::to_string(*defaults.object("compactThreshold")->as<std::int64_t>()) +
                       "/" + std::to_string(defaults.writes.size()));
    };
    prefs.setPreviewSize(PreviewSize::small);
    EXPECT_EQ(defaults.writes,
              (std::vector<std::string>{
                  "showDelayMS", "hideDelayMS", "altTabEnabled", "liveThumbnails", "previewLayout",
                  "previewSize", "compactThreshold", "folderPopEnabled", "folderSort",
                  "calendarWidgetEnabled", "mediaControlsEnabled", "remindersWidgetEnabled"}));
    // Variant equality: types too. The value of the wrong kind is replaced by the default.
    const DefaultsValue expected[] = {180.0,           260.0, true,   true, "auto", "small",
                                      std::int64_t{6}, true,  "name", true, true,   true};
    for (std::size_t i = 0; i < defaults.writes.size(); ++i)
        EXPECT_EQ(defaults.store.object(defaults.writes[i]), expected[i]) << defaults.writes[i];
    prefs.setCompactThreshold(3);
    prefs.setCompactThreshold(3);
    EXPECT_EQ(seen, (std::vector<std::string>{"6/6/12", "3/3/24", "3/3/36"}));

    // Every setter round-trips; other keys are not ours to touch.
    prefs.setShowDelayMS(0.0);
    prefs.setHideDelayMS(1e300);
    prefs.setAltTabEnabled(false);
    prefs.setLiveThumbnails(false);
    prefs.setPreviewLayout(PreviewLayout::large);
    prefs.setPreviewSize(PreviewSize::large);
    prefs.setCompactThreshold(0);
    prefs.setFolderPopEnabled(false);
    prefs.setFolderSort(FolderSort::kind);
    prefs.setCalendarWidgetEnabled(false);
    prefs.setMediaControlsEnabled(false);
    prefs.setRemindersWidgetEnabled(false);
    EXPECT_EQ(summary(Preferences(defaults, logger)), "0 1e+300 0 0 large large 0 0 kind 0 0 0");
    EXPECT_EQ(defaults.store.values().size(), 13u);
    EXPECT_EQ(defaults.store.object("didShowWelcome"), DefaultsValue(true));
    EXPECT_TRUE(logger.lines().empty());
}

}  // namespace
}  // namespace vantorel
