#include "app/Preferences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimUserDefaults.h"

namespace vantorel {
namespace {

// Remembers every write in order, to check what one setter persists and as which type.
class RecordingSuite final : public DefaultsSuite {
public:
    std::optional<DefaultsValue> object(std::string_view key) const override {
        return store.object(key);
    }
    void setObject(std::string_view key, DefaultsValue value) override {
        writes.emplace_back(std::string(key), value);
        store.setObject(key, std::move(value));
    }
    void removeObject(std::string_view key) override { store.removeObject(key); }

    SimDefaultsSuite store;
    std::vector<std::pair<std::string, DefaultsValue>> writes;
};

class PreferencesTest : public ::testing::Test {
protected:
    Preferences load() { return Preferences(defaults, logger); }
    void store(std::string_view key, DefaultsValue value) {
        defaults.setObject(key, std::move(value));
    }

    SimDefaultsSuite defaults;
    MemoryLogger logger;
};

TEST(PreferenceEnumerations, RawStringsRoundTripInDeclarationOrder) {
    std::vector<std::string_view> layouts, sizes, sorts;
    for (auto v : kAllPreviewLayouts) {
        layouts.push_back(toString(v));
        EXPECT_EQ(previewLayoutFromString(toString(v)), v);
    }
    for (auto v : kAllPreviewSizes) {
        sizes.push_back(toString(v));
        EXPECT_EQ(previewSizeFromString(toString(v)), v);
    }
    for (auto v : kAllFolderSorts) {
        sorts.push_back(toString(v));
        EXPECT_EQ(folderSortFromString(toString(v)), v);
    }
    EXPECT_EQ(layouts, (std::vector<std::string_view>{"auto", "grid", "list", "large"}));
    EXPECT_EQ(sizes, (std::vector<std::string_view>{"small", "medium", "large"}));
    EXPECT_EQ(sorts, (std::vector<std::string_view>{"name", "dateModified", "kind"}));

    for (const char* raw : {"Grid", "AUTO", "", " list", "list ", "automatic"}) {
        EXPECT_FALSE(previewLayoutFromString(raw)) << raw;
    }
    EXPECT_FALSE(previewSizeFromString("Medium"));
    EXPECT_FALSE(folderSortFromString("datemodified"));
}

TEST_F(PreferencesTest, FreshInstallationLoadsTheDefaultsQuietly) {
    const Preferences prefs = load();
    EXPECT_EQ(prefs.showDelayMS(), 180.0);
    EXPECT_EQ(prefs.hideDelayMS(), 260.0);
    EXPECT_TRUE(prefs.altTabEnabled());
    EXPECT_TRUE(prefs.liveThumbnails());
    EXPECT_EQ(prefs.previewLayout(), PreviewLayout::automatic);
    EXPECT_EQ(prefs.previewSize(), PreviewSize::medium);
    EXPECT_EQ(prefs.compactThreshold(), 6);
    EXPECT_TRUE(prefs.folderPopEnabled());
    EXPECT_EQ(prefs.folderSort(), FolderSort::name);
    EXPECT_TRUE(prefs.calendarWidgetEnabled());
    EXPECT_TRUE(prefs.mediaControlsEnabled());
    EXPECT_TRUE(prefs.remindersWidgetEnabled());
    EXPECT_FALSE(prefs.onChange);

    EXPECT_TRUE(logger.lines().empty());
    EXPECT_EQ(defaults.writeCount(), 0) << "loading never writes";
}

TEST_F(PreferencesTest, LoadsEveryStoredValueOfTheRightKind) {
    store("showDelayMS", 95.5);
    store("hideDelayMS", 400.25);
    store("altTabEnabled", false);
    store("liveThumbnails", false);
    store("previewLayout", "list");
    store("previewSize", "large");
    store("compactThreshold", std::int64_t{11});
    store("folderPopEnabled", false);
    store("folderSort", "dateModified");
    store("calendarWidgetEnabled", false);
    store("mediaControlsEnabled", false);
    store("remindersWidgetEnabled", false);

    const Preferences prefs = load();
    EXPECT_EQ(prefs.showDelayMS(), 95.5);
    EXPECT_EQ(prefs.hideDelayMS(), 400.25);
    EXPECT_FALSE(prefs.altTabEnabled());
    EXPECT_FALSE(prefs.liveThumbnails());
    EXPECT_EQ(prefs.previewLayout(), PreviewLayout::list);
    EXPECT_EQ(prefs.previewSize(), PreviewSize::large);
    EXPECT_EQ(prefs.compactThreshold(), 11);
    EXPECT_FALSE(prefs.folderPopEnabled());
    EXPECT_EQ(prefs.folderSort(), FolderSort::dateModified);
    EXPECT_FALSE(prefs.calendarWidgetEnabled());
    EXPECT_FALSE(prefs.mediaControlsEnabled());
    EXPECT_FALSE(prefs.remindersWidgetEnabled());
    EXPECT_TRUE(logger.lines().empty());
}

TEST_F(PreferencesTest, BooleansTellMissingFromFalse) {
    // Half the booleans stored false, half missing: the missing ones read true.
    store("altTabEnabled", false);
    store("folderPopEnabled", false);
    store("mediaControlsEnabled", false);
    store("liveThumbnails", true);
    const Preferences prefs = load();
    EXPECT_FALSE(prefs.altTabEnabled());
    EXPECT_TRUE(prefs.liveThumbnails());
    EXPECT_FALSE(prefs.folderPopEnabled());
    EXPECT_TRUE(prefs.calendarWidgetEnabled());
    EXPECT_FALSE(prefs.mediaControlsEnabled());
    EXPECT_TRUE(prefs.remindersWidgetEnabled());
}

TEST_F(PreferencesTest, BooleanOfAnotherKindReadsTrueAndIsLogged) {
    store("altTabEnabled", std::int64_t{0});
    store("liveThumbnails", "false");
    store("folderPopEnabled", 0.0);
    store("calendarWidgetEnabled", DefaultsArray{false});
    const Preferences prefs = load();
    EXPECT_TRUE(prefs.altTabEnabled());
    EXPECT_TRUE(prefs.liveThumbnails());
    EXPECT_TRUE(prefs.folderPopEnabled());
    EXPECT_TRUE(prefs.calendarWidgetEnabled());
    EXPECT_EQ(logger.messages("app"),
              (std::vector<std::string>{
                  "Ignoring stored \"altTabEnabled\": not a boolean; using the default true",
                  "Ignoring stored \"liveThumbnails\": not a boolean; using the default true",
                  "Ignoring stored \"folderPopEnabled\": not a boolean; using the default true",
                  "Ignoring stored \"calendarWidgetEnabled\": not a boolean; using the default "
                  "true"}));
    EXPECT_EQ(logger.lines().front().level, LogLevel::error);
}

TEST_F(PreferencesTest, PreviewLayoutNeedsTheExactRawString) {
    const std::pair<DefaultsValue, PreviewLayout> cases[] = {
        {"grid", PreviewLayout::grid},      {"large", PreviewLayout::large},
        {"auto", PreviewLayout::automatic}, {"Grid", PreviewLayout::automatic},
        {"LIST", PreviewLayout::automatic}, {"", PreviewLayout::automatic},
        {1.0, PreviewLayout::automatic},    {DefaultsDictionary{}, PreviewLayout::automatic},
    };
    for (const auto& [stored, expected] : cases) {
        store("previewLayout", stored);
        EXPECT_EQ(load().previewLayout(), expected);
    }
    EXPECT_EQ(logger.count("Ignoring stored \"previewLayout\": not one of auto, grid, list, "
                           "large; using the default auto"),
              5u);
}

TEST_F(PreferencesTest, PreviewSizeAndFolderSortFallBackOnAnythingElse) {
    store("previewSize", "small");
    store("folderSort", "kind");
    EXPECT_EQ(load().previewSize(), PreviewSize::small);
    EXPECT_EQ(load().folderSort(), FolderSort::kind);

    store("previewSize", "Large");
    store("folderSort", "DateModified");
    EXPECT_EQ(load().previewSize(), PreviewSize::medium);
    EXPECT_EQ(load().folderSort(), FolderSort::name);

    store("previewSize", std::int64_t{2});
    store("folderSort", "name");
    EXPECT_EQ(load().previewSize(), PreviewSize::medium);
    EXPECT_EQ(load().folderSort(), FolderSort::name);
    EXPECT_EQ(logger.count("Ignoring stored \"folderSort\": not one of name, dateModified, kind; "
                           "using the default name"),
              2u);
}

TEST_F(PreferencesTest, DelayThatIsNotANumberGivesTheDefault) {
    store("showDelayMS", "250");
    store("hideDelayMS", true);
    Preferences prefs = load();
    EXPECT_EQ(prefs.showDelayMS(), 180.0);
    EXPECT_EQ(prefs.hideDelayMS(), 260.0);
    EXPECT_EQ(logger.messages("app"),
              (std::vector<std::string>{
                  "Ignoring stored \"showDelayMS\": not a number; using the default 180",
                  "Ignoring stored \"hideDelayMS\": not a number; using the default 260"}));
}

TEST_F(PreferencesTest, DelayStoredAsAnIntegerIsANumber) {
    store("showDelayMS", std::int64_t{0});
    store("hideDelayMS", std::int64_t{1000});
    const Preferences prefs = load();
    EXPECT_EQ(prefs.showDelayMS(), 0.0);
    EXPECT_EQ(prefs.hideDelayMS(), 1000.0);
    EXPECT_TRUE(logger.lines().empty());
}

TEST_F(PreferencesTest, DelaysAreKeptUnvalidated) {
    store("showDelayMS", -40.0);
    store("hideDelayMS", std::numeric_limits<double>::quiet_NaN());
    const Preferences prefs = load();
    EXPECT_EQ(prefs.showDelayMS(), -40.0);
    EXPECT_TRUE(std::isnan(prefs.hideDelayMS()));
}

TEST_F(PreferencesTest, CompactThresholdNeedsAWholeNumber) {
    const std::pair<DefaultsValue, std::int64_t> cases[] = {
        {std::int64_t{-3}, -3},
        {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::max()},
        {8.0, 8},
        {-9223372036854775808.0, std::numeric_limits<std::int64_t>::min()},
        {8.5, 6},
        {9223372036854775808.0, 6},
        {1e300, 6},
        {std::numeric_limits<double>::quiet_NaN(), 6},
        {-std::numeric_limits<double>::infinity(), 6},
        {"8", 6},
        {true, 6},
    };
    for (const auto& [stored, expected] : cases) {
        store("compactThreshold", stored);
        EXPECT_EQ(load().compactThreshold(), expected);
    }
    EXPECT_EQ(logger.count("Ignoring stored \"compactThreshold\": not an integer; using the "
                           "default 6"),
              7u);
}

TEST(PreferencesWriting, OneWritePersistsAllTwelveKeysInOrderWithTheirTypes) {
    RecordingSuite defaults;
    MemoryLogger logger;
    Preferences prefs(defaults, logger);
    prefs.setPreviewSize(PreviewSize::small);

    std::vector<std::string> keys;
    for (const auto& [key, value] : defaults.writes)
        keys.push_back(key);
    EXPECT_EQ(keys,
              (std::vector<std::string>{
                  "showDelayMS", "hideDelayMS", "altTabEnabled", "liveThumbnails", "previewLayout",
                  "previewSize", "compactThreshold", "folderPopEnabled", "folderSort",
                  "calendarWidgetEnabled", "mediaControlsEnabled", "remindersWidgetEnabled"}));
    EXPECT_EQ(keys.size(), Preferences::kKeys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(keys[i], Preferences::kKeys[i]);

    const auto& values = defaults.store.values();
    EXPECT_EQ(values.size(), 12u);
    EXPECT_EQ(values.at("showDelayMS"), DefaultsValue(180.0));
    EXPECT_EQ(values.at("hideDelayMS"), DefaultsValue(260.0));
    EXPECT_EQ(values.at("altTabEnabled"), DefaultsValue(true));
    EXPECT_EQ(values.at("previewLayout"), DefaultsValue("auto"));
    EXPECT_EQ(values.at("previewSize"), DefaultsValue("small"));
    EXPECT_EQ(values.at("compactThreshold"), DefaultsValue(std::int64_t{6}));
    EXPECT_EQ(values.at("folderSort"), DefaultsValue("name"));
    EXPECT_EQ(values.at("remindersWidgetEnabled"), DefaultsValue(true));
}

TEST(PreferencesWriting, WritingAnEqualValueStillPersistsAndNotifies) {
    RecordingSuite defaults;
    MemoryLogger logger;
    Preferences prefs(defaults, logger);
    int changes = 0;
    prefs.onChange = [&] { ++changes; };

    prefs.setAltTabEnabled(true);
    EXPECT_EQ(defaults.writes.size(), 12u);
    EXPECT_EQ(changes, 1);
    prefs.setAltTabEnabled(true);
    EXPECT_EQ(defaults.writes.size(), 24u);
    EXPECT_EQ(changes, 2);
}

TEST_F(PreferencesTest, OnChangeRunsAfterTheValueIsStored) {
    Preferences prefs = load();
    std::vector<std::string> seen;
    prefs.onChange = [&] {
        const auto stored = defaults.object("compactThreshold");
        seen.push_back(std::to_string(prefs.compactThreshold()) + "/" +
                       std::to_string(*stored->as<std::int64_t>()));
    };
    prefs.setCompactThreshold(3);
    prefs.setCompactThreshold(-1);
    EXPECT_EQ(seen, (std::vector<std::string>{"3/3", "-1/-1"}));
}

TEST_F(PreferencesTest, EverySetterRoundTripsThroughTheStore) {
    store("didShowWelcome", true);
    {
        Preferences prefs = load();
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
    }
    const Preferences prefs = load();
    EXPECT_EQ(prefs.showDelayMS(), 0.0);
    EXPECT_EQ(prefs.hideDelayMS(), 1e300);
    EXPECT_FALSE(prefs.altTabEnabled());
    EXPECT_FALSE(prefs.liveThumbnails());
    EXPECT_EQ(prefs.previewLayout(), PreviewLayout::large);
    EXPECT_EQ(prefs.previewSize(), PreviewSize::large);
    EXPECT_EQ(prefs.compactThreshold(), 0);
    EXPECT_FALSE(prefs.folderPopEnabled());
    EXPECT_EQ(prefs.folderSort(), FolderSort::kind);
    EXPECT_FALSE(prefs.calendarWidgetEnabled());
    EXPECT_FALSE(prefs.mediaControlsEnabled());
    EXPECT_FALSE(prefs.remindersWidgetEnabled());

    EXPECT_EQ(defaults.values().size(), 13u);
    EXPECT_EQ(defaults.object("didShowWelcome"), DefaultsValue(true)) << "not ours to touch";
    EXPECT_TRUE(logger.lines().empty());
}

TEST_F(PreferencesTest, WriteReplacesAValueOfTheWrongKind) {
    store("compactThreshold", "eight");
    Preferences prefs = load();
    prefs.setFolderSort(FolderSort::name);
    EXPECT_EQ(defaults.object("compactThreshold"), DefaultsValue(std::int64_t{6}));
}

}  // namespace
}  // namespace vantorel
