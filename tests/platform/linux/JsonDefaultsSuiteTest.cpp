#include "platform/linux/JsonDefaultsSuite.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "app/Preferences.h"
#include "platform/linux/JsonUserDefaults.h"
#include "platform/sim/ManualScheduler.h"
#include "platform/sim/MemoryLogger.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class JsonDefaultsSuiteTest : public ::testing::Test {
protected:
    JsonDefaultsSuiteTest() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        directory = fs::temp_directory_path() /
                    ("vantorel-defaults-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
        file = directory / "vantorel" / "app.vantorel.Vantorel.json";
    }
    ~JsonDefaultsSuiteTest() override {
        std::error_code ec;
        fs::permissions(directory, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(directory, ec);
    }

    std::unique_ptr<JsonDefaultsSuite> open() {
        return std::make_unique<JsonDefaultsSuite>(file, scheduler, logger);
    }
    void writeSettings(const std::string& text) {
        fs::create_directories(file.parent_path());
        writeFile(file, text);
    }
    // Files next to the settings file whose names start with prefix.
    std::vector<fs::path> siblings(const std::string& prefix) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(file.parent_path())) {
            if (entry.path().filename().string().rfind(prefix, 0) == 0) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    fs::path directory;
    fs::path file;
    ManualScheduler scheduler;
    MemoryLogger logger;
};

TEST_F(JsonDefaultsSuiteTest, FirstRunStartsEmptyAndCreatesTheFileOnFirstChange) {
    auto store = open();
    EXPECT_TRUE(store->isPersistent());
    EXPECT_FALSE(store->object("showDelayMS"));
    EXPECT_TRUE(logger.lines().empty());
    EXPECT_FALSE(fs::exists(file.parent_path())) << "reading creates nothing";

    store->setObject("showDelayMS", 180.0);
    EXPECT_FALSE(fs::exists(file)) << "saved on the next turn of the main loop";
    scheduler.runDue();
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_EQ(readFile(file), "{\n    \"showDelayMS\": 180.0\n}\n");
}

TEST_F(JsonDefaultsSuiteTest, EveryTypeRoundTripsApart) {
    const DefaultsDictionary nested = {
        {"flag", false},
        {"count", std::int64_t{3}},
        {"ratio", 3.0},
        {"items", DefaultsArray{"a", std::int64_t{1}, 1.0, true, DefaultsArray{}}},
        {"empty", DefaultsDictionary{}},
    };
    const std::vector<std::pair<std::string, DefaultsValue>> values = {
        {"true", true},
        {"false", false},
        {"zero", std::int64_t{0}},
        {"negative", std::int64_t{-5}},
        {"int64max", std::numeric_limits<std::int64_t>::max()},
        {"int64min", std::numeric_limits<std::int64_t>::min()},
        {"wholeDouble", 180.0},
        {"fraction", 0.1},
        {"negativeZero", -0.0},
        {"hugeDouble", 1e300},
        {"bigWholeDouble", 1e16},
        {"tinyDouble", 5e-324},
        {"maxDouble", std::numeric_limits<double>::max()},
        {"text", "Grüße ✓ \"quoted\"\n\ttab \\ slash"},
        {"emptyText", ""},
        {"numberText", "180"},
        {"array", DefaultsArray{true, std::int64_t{2}, 2.0, "2"}},
        {"dictionary", nested},
    };
    {
        auto store = open();
        for (const auto& [key, value] : values)
            store->setObject(key, value);
        EXPECT_TRUE(store->flush());
    }
    auto reopened = open();
    for (const auto& [key, value] : values) {
        const auto loaded = reopened->object(key);
        ASSERT_TRUE(loaded) << key;
        EXPECT_EQ(*loaded, value) << key;  // variant equality: the type must match too
        EXPECT_EQ(loaded->data.index(), value.data.index()) << key;
    }
    EXPECT_TRUE(std::signbit(*reopened->object("negativeZero")->as<double>()));
    EXPECT_TRUE(logger.lines().empty());
}

TEST_F(JsonDefaultsSuiteTest, WholeDoublesAndIntegersAreWrittenDistinctly) {
    auto store = open();
    store->setObject("double", 180.0);
    store->setObject("integer", std::int64_t{180});
    ASSERT_TRUE(store->flush());
    const std::string text = readFile(file);
    EXPECT_NE(text.find("\"double\": 180.0"), std::string::npos) << text;
    EXPECT_NE(text.find("\"integer\": 180\n"), std::string::npos) << text;
}

TEST_F(JsonDefaultsSuiteTest, ChangingOnlyTheTypeIsAChange) {
    auto store = open();
    store->setObject("threshold", std::int64_t{6});
    ASSERT_TRUE(store->flush());
    store->setObject("threshold", 6.0);
    EXPECT_TRUE(store->hasUnsavedChanges());
    ASSERT_TRUE(store->flush());
    EXPECT_EQ(open()->object("threshold"), DefaultsValue(6.0));
}

TEST_F(JsonDefaultsSuiteTest, BurstOfWritesIsOneSaveAndEqualValuesNone) {
    auto store = open();
    for (int i = 0; i < 12; ++i)
        store->setObject("key" + std::to_string(i), std::int64_t{i});
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    scheduler.runDue();
    EXPECT_EQ(open()->object("key11"), DefaultsValue(std::int64_t{11}));

    store->setObject("key3", std::int64_t{3});
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(JsonDefaultsSuiteTest, RemovalIsSaved) {
    auto store = open();
    store->setObject("a", true);
    store->setObject("b", true);
    scheduler.runDue();
    store->removeObject("a");
    store->removeObject("missing");
    scheduler.runDue();
    auto reopened = open();
    EXPECT_FALSE(reopened->object("a"));
    EXPECT_EQ(reopened->object("b"), DefaultsValue(true));
}

TEST_F(JsonDefaultsSuiteTest, ClosingSavesWhatTheLoopDidNotGetTo) {
    open()->setObject("didShowWelcome", true);
    EXPECT_EQ(scheduler.pendingCount(), 0u) << "the destroyed store's save was withdrawn";
    EXPECT_EQ(open()->object("didShowWelcome"), DefaultsValue(true));
}

TEST_F(JsonDefaultsSuiteTest, InterruptedWriteLeavesTheOldFileIntact) {
    auto store = open();
    store->setObject("showDelayMS", 180.0);
    ASSERT_TRUE(store->flush());
    const std::string before = readFile(file);

    // Something the save cannot clear sits where the temporary file goes, so the write stops
    // before the rename, as a crash or a full disk would.
    const fs::path temporary = file.string() + ".tmp";
    fs::create_directories(temporary / "blocker");
    store->setObject("showDelayMS", 90.0);
    EXPECT_FALSE(store->flush());
    EXPECT_EQ(readFile(file), before);
    ASSERT_EQ(logger.lines().size(), 1u);
    EXPECT_EQ(logger.lines()[0].category, "app");
    EXPECT_EQ(logger.lines()[0].level, LogLevel::error);
    EXPECT_EQ(logger.lines()[0].message.rfind("Could not save settings to \"" + file.string() +
                                                  "\": removing the old \"" + temporary.string() +
                                                  "\" failed (",
                                              0),
              0u)
        << logger.lines()[0].message;
    EXPECT_NE(logger.lines()[0].message.find("the previous file is unchanged"), std::string::npos);

    // The change is still in memory and goes out with the next save once the way is clear.
    EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(90.0));
    EXPECT_TRUE(store->hasUnsavedChanges());
    fs::remove_all(temporary);
    EXPECT_TRUE(store->flush());
    EXPECT_EQ(open()->object("showDelayMS"), DefaultsValue(90.0));
}

TEST_F(JsonDefaultsSuiteTest, UnwritableDirectoryFailsWithoutLosingAnything) {
    // A regular file where the settings directory should be: creating it fails.
    writeFile(directory / "vantorel", "not a directory");
    auto store = open();
    store->setObject("a", true);
    EXPECT_FALSE(store->flush());
    EXPECT_EQ(readFile(directory / "vantorel"), "not a directory");
    ASSERT_EQ(logger.lines().size(), 1u);
    EXPECT_EQ(logger.lines()[0].message.rfind(
                  "Could not save settings to \"" + file.string() + "\": creating \"", 0),
              0u)
        << logger.lines()[0].message;
}

TEST_F(JsonDefaultsSuiteTest, TemporaryFileLeftByACrashIsIgnored) {
    writeSettings("{\"a\": 1}");
    writeFile(file.string() + ".tmp", "{\"a\": 2, trunc");
    auto store = open();
    EXPECT_EQ(store->object("a"), DefaultsValue(std::int64_t{1}));
    store->setObject("b", false);
    ASSERT_TRUE(store->flush());
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
    EXPECT_TRUE(logger.lines().empty());
}

TEST_F(JsonDefaultsSuiteTest, CorruptFileIsSetAsideAndDefaultsAreUsed) {
    const std::string garbage = "{\"showDelayMS\": 120.0, \"altTab";
    writeSettings(garbage);
    auto store = open();
    EXPECT_FALSE(store->object("showDelayMS"));
    EXPECT_FALSE(fs::exists(file));

    const auto aside = siblings("app.vantorel.Vantorel.json.corrupt-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(aside[0]), garbage);
    const std::string suffix =
        aside[0].filename().string().substr(std::string("app.vantorel.Vantorel.json").size());
    EXPECT_EQ(suffix.size(), std::string(".corrupt-20261206T201500").size()) << suffix;

    ASSERT_EQ(logger.lines().size(), 1u);
    const auto& line = logger.lines()[0];
    EXPECT_EQ(line.category, "app");
    EXPECT_EQ(line.level, LogLevel::error);
    EXPECT_EQ(line.message.rfind("Settings file \"" + file.string() + "\" is not valid JSON (", 0),
              0u)
        << line.message;
    EXPECT_NE(line.message.find("); moved it to \"" + aside[0].string() +
                                "\" and using the default settings"),
              std::string::npos)
        << line.message;

    // New settings start a new file; the set-aside one is left alone.
    store->setObject("showDelayMS", 200.0);
    ASSERT_TRUE(store->flush());
    EXPECT_EQ(open()->object("showDelayMS"), DefaultsValue(200.0));
    EXPECT_EQ(readFile(aside[0]), garbage);
}

TEST_F(JsonDefaultsSuiteTest, TopLevelThatIsNotAnObjectIsSetAside) {
    for (const std::string text : {"[1, 2]", "42", "\"text\"", "null", "", "  \n"}) {
        writeSettings(text);
        logger.clear();
        auto store = open();
        EXPECT_FALSE(fs::exists(file)) << "'" << text << "'";
        ASSERT_EQ(logger.lines().size(), 1u);
        EXPECT_EQ(logger.lines()[0].level, LogLevel::error);
    }
    EXPECT_NE(logger.lines()[0].message.find("is not valid JSON"), std::string::npos);
    writeSettings("[true]");
    logger.clear();
    open();
    EXPECT_NE(logger.lines()[0].message.find("\" does not hold a JSON object; moved it to"),
              std::string::npos)
        << logger.lines()[0].message;
    // Set aside repeatedly, possibly within one second: every copy is kept.
    EXPECT_EQ(siblings("app.vantorel.Vantorel.json.corrupt-").size(), 7u);
}

TEST_F(JsonDefaultsSuiteTest, NumbersBeyondADoubleMakeTheFileUnreadable) {
    // The JSON grammar allows 1e400 but no double holds it; the file is kept aside whole.
    writeSettings("{\"showDelayMS\": 1e400, \"altTabEnabled\": false}");
    auto store = open();
    EXPECT_FALSE(store->object("altTabEnabled"));
    ASSERT_EQ(siblings("app.vantorel.Vantorel.json.corrupt-").size(), 1u);
    EXPECT_NE(logger.lines().at(0).message.find("is not valid JSON"), std::string::npos);
}

TEST_F(JsonDefaultsSuiteTest, UnreadableFileIsSetAside) {
    // A directory where the file should be reads as an error, not as empty settings.
    fs::create_directories(file / "inside");
    auto store = open();
    EXPECT_FALSE(fs::exists(file));
    const auto aside = siblings("app.vantorel.Vantorel.json.corrupt-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_TRUE(fs::exists(aside[0] / "inside"));
    EXPECT_NE(logger.lines().at(0).message.find("\" could not be read ("), std::string::npos)
        << logger.lines().at(0).message;
}

TEST_F(JsonDefaultsSuiteTest, FileThatCannotBeSetAsideIsNeverOverwritten) {
    // A name so long that the aside name exceeds the file system's limit: the rename fails
    // even for root, for whom a read-only directory would not.
    file = directory / (std::string(240, 's') + ".json");
    writeFile(file, "not json");
    auto store = open();
    EXPECT_FALSE(store->isPersistent());
    ASSERT_EQ(logger.lines().size(), 1u);
    const std::string& message = logger.lines()[0].message;
    EXPECT_EQ(message.rfind("Settings file \"" + file.string() + "\" is not valid JSON (", 0), 0u)
        << message;
    const std::string ending =
        ") and could not be moved aside (File name too long); using the default settings "
        "without saving them";
    ASSERT_GT(message.size(), ending.size());
    EXPECT_EQ(message.substr(message.size() - ending.size()), ending) << message;

    store->setObject("showDelayMS", 1.0);
    EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(1.0));
    EXPECT_FALSE(store->flush());
    store.reset();
    EXPECT_EQ(readFile(file), "not json");
}

TEST_F(JsonDefaultsSuiteTest, UnknownKeysAndTypesFromANewerVersionAreKept) {
    writeSettings(R"({
        "fromNewer": null,
        "huge": 18446744073709551615,
        "nested": {"list": [1, null, "x"]},
        "showDelayMS": 5
    })");
    auto store = open();
    EXPECT_FALSE(store->object("fromNewer"));
    EXPECT_FALSE(store->object("huge"));
    EXPECT_FALSE(store->object("nested")) << "one value it cannot hold makes the whole absent";
    EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(std::int64_t{5}));

    store->setObject("showDelayMS", 7.5);
    ASSERT_TRUE(store->flush());
    const auto written = nlohmann::json::parse(readFile(file));
    EXPECT_TRUE(written.at("fromNewer").is_null());
    EXPECT_TRUE(written.at("huge").is_number_unsigned());
    EXPECT_EQ(written.at("huge").get<std::uint64_t>(), 18446744073709551615u);
    EXPECT_EQ(written.at("nested"), nlohmann::json::parse(R"({"list": [1, null, "x"]})"));
    EXPECT_EQ(written.at("showDelayMS").get<double>(), 7.5);
    EXPECT_TRUE(logger.lines().empty());
}

TEST_F(JsonDefaultsSuiteTest, NonFiniteNumbersAreRefusedAndTheOldValueKept) {
    auto store = open();
    store->setObject("showDelayMS", 180.0);
    ASSERT_TRUE(store->flush());
    const std::string before = readFile(file);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    store->setObject("showDelayMS", nan);
    store->setObject("showDelayMS", -inf);
    store->setObject("list", DefaultsArray{1.0, DefaultsDictionary{{"x", inf}}});
    EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(180.0));
    EXPECT_FALSE(store->object("list"));
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    EXPECT_EQ(readFile(file), before);

    const std::string refusal =
        "\": the settings file cannot hold NaN or infinite numbers; kept the previous value";
    EXPECT_EQ(logger.messages("app"),
              (std::vector<std::string>{"Refused to store \"showDelayMS" + refusal,
                                        "Refused to store \"showDelayMS" + refusal,
                                        "Refused to store \"list" + refusal}));
}

TEST_F(JsonDefaultsSuiteTest, TextThatIsNotUtf8IsRefused) {
    auto store = open();
    store->setObject("name", "ok");
    store->setObject("name", std::string("bad \xff\xfe"));
    store->setObject(std::string("key \xc3"), "value");
    EXPECT_EQ(store->object("name"), DefaultsValue("ok"));
    EXPECT_EQ(logger.count("Refused to store \"name\": its text is not valid UTF-8; kept the "
                           "previous value"),
              1u);
    EXPECT_EQ(logger.lines().size(), 2u);
    EXPECT_TRUE(store->flush());
    EXPECT_EQ(open()->object("name"), DefaultsValue("ok"));
}

TEST_F(JsonDefaultsSuiteTest, SavingKeepsTheFileModeAndFollowsASymbolicLink) {
    const fs::path dotfiles = directory / "dotfiles" / "vantorel.json";
    fs::create_directories(dotfiles.parent_path());
    writeFile(dotfiles, "{}");
    ::chmod(dotfiles.c_str(), 0600);
    fs::create_directories(file.parent_path());
    fs::create_symlink(dotfiles, file);

    auto store = open();
    store->setObject("a", std::int64_t{1});
    ASSERT_TRUE(store->flush());
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(nlohmann::json::parse(readFile(dotfiles)).at("a"), 1);
    struct stat info {};
    ASSERT_EQ(::stat(dotfiles.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(JsonDefaultsSuiteTest, WithoutAPathEverythingStaysInMemory) {
    JsonDefaultsSuite store({}, scheduler, logger);
    EXPECT_FALSE(store.isPersistent());
    store.setObject("a", true);
    store.setObject("b", true);
    EXPECT_EQ(store.object("a"), DefaultsValue(true));
    EXPECT_FALSE(store.flush());
    EXPECT_EQ(logger.messages("app"),
              (std::vector<std::string>{
                  "No place for the settings file was found; settings will not be saved",
                  "Settings changes are kept in memory only this session"}));
}

TEST(JsonUserDefaultsTest, DefaultPathFollowsTheXdgRules) {
    EXPECT_EQ(JsonUserDefaults::defaultPath("/cfg", "/home/u"),
              fs::path("/cfg/vantorel/app.vantorel.Vantorel.json"));
    EXPECT_EQ(JsonUserDefaults::defaultPath(nullptr, "/home/u"),
              fs::path("/home/u/.config/vantorel/app.vantorel.Vantorel.json"));
    EXPECT_EQ(JsonUserDefaults::defaultPath("", "/home/u"),
              fs::path("/home/u/.config/vantorel/app.vantorel.Vantorel.json"));
    EXPECT_EQ(JsonUserDefaults::defaultPath("relative/cfg", "/home/u"),
              fs::path("/home/u/.config/vantorel/app.vantorel.Vantorel.json"));
    EXPECT_EQ(JsonUserDefaults::defaultPath(nullptr, nullptr), fs::path());
    EXPECT_EQ(JsonUserDefaults::defaultPath("", "relative"), fs::path());
    EXPECT_TRUE(JsonUserDefaults::defaultPath().empty() ||
                JsonUserDefaults::defaultPath().is_absolute());
}

TEST_F(JsonDefaultsSuiteTest, OtherDomainsDoNotOpenAndPreferencesPersist) {
    {
        JsonUserDefaults defaults(file, scheduler, logger);
        EXPECT_EQ(defaults.suite("com.apple.dock"), nullptr);
        EXPECT_EQ(defaults.suite("app.vantorel.Vantorel"), nullptr);

        Preferences prefs(defaults.standard(), logger);
        prefs.setPreviewLayout(PreviewLayout::grid);
        scheduler.runDue();
    }
    const auto written = nlohmann::json::parse(readFile(file));
    EXPECT_EQ(written.size(), 12u);
    EXPECT_TRUE(written.at("showDelayMS").is_number_float());
    EXPECT_TRUE(written.at("compactThreshold").is_number_integer());
    EXPECT_TRUE(written.at("altTabEnabled").is_boolean());

    JsonUserDefaults defaults(file, scheduler, logger);
    const Preferences prefs(defaults.standard(), logger);
    EXPECT_EQ(prefs.previewLayout(), PreviewLayout::grid);
    EXPECT_EQ(prefs.showDelayMS(), 180.0);
    EXPECT_EQ(prefs.compactThreshold(), 6);
    EXPECT_TRUE(logger.lines().empty());
}

}  // namespace
}  // namespace vantorel
