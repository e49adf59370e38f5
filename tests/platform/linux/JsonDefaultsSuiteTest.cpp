#include "platform/linux/JsonDefaultsSuite.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <regex>
#include <sstream>

#include "ScratchFolder.h"
#include "platform/linux/JsonUserDefaults.h"
#include "platform/sim/ManualScheduler.h"
#include "platform/sim/MemoryLogger.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string readFile(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class JsonDefaultsSuiteTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(directory.empty()); }

    std::unique_ptr<JsonDefaultsSuite> open() {
        return std::make_unique<JsonDefaultsSuite>(file, scheduler, logger);
    }
    // The single logged line, which must be an error in the "app" category.
    std::string onlyError() const {
        EXPECT_EQ(logger.lines().size(), 1u);
        if (logger.lines().empty()) return {};
        EXPECT_EQ(logger.lines()[0].category, "app");
        EXPECT_EQ(logger.lines()[0].level, LogLevel::error);
        return logger.lines()[0].message;
    }

    ScratchFolder scratch{"vantorel-defaults"};
    const fs::path directory = scratch.path();
    fs::path file = directory / "vantorel" / "app.vantorel.Vantorel.json";
    ManualScheduler scheduler;
    MemoryLogger logger;
};

TEST_F(JsonDefaultsSuiteTest, EveryTypeRoundTripsApart) {
    const DefaultsDictionary nested = {
        {"flag", false},
        {"count", std::int64_t{3}},
        {"ratio", 3.0},
        {"items", DefaultsArray{"a", std::int64_t{1}, 1.0, true, DefaultsArray{}}},
        {"empty", DefaultsDictionary{}}};
    const auto imax = std::numeric_limits<std::int64_t>::max();
    const auto imin = std::numeric_limits<std::int64_t>::min();
    const auto dmax = std::numeric_limits<double>::max();
    const std::int64_t zero = 0, minus5 = -5;
    const DefaultsArray mixed = {true, std::int64_t{2}, 2.0, "2"};
    const char* text = "Grüße ✓ \"quoted\"\n\ttab \\ slash";
    // Stored as "v0", "v1", ...; -0.0 first so that its sign can be checked by name.
    const DefaultsValue values[] = {-0.0, true,   false, zero, minus5, imax,  imin,  0.1,   1e300,
                                    1e16, 5e-324, dmax,  text, "",     "180", 180.0, mixed, nested};
    {
        auto store = open();
        for (std::size_t i = 0; i < std::size(values); ++i)
            store->setObject("v" + std::to_string(i), values[i]);
        store->setObject("integer", std::int64_t{180});
        EXPECT_TRUE(store->flush());
    }
    const std::string written = readFile(file);
    EXPECT_NE(written.find("\"integer\": 180,\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\"v15\": 180.0,\n"), std::string::npos) << written;
    auto reopened = open();
    for (std::size_t i = 0; i < std::size(values); ++i) {
        const auto loaded = reopened->object("v" + std::to_string(i));
        ASSERT_TRUE(loaded) << i;
        EXPECT_EQ(*loaded, values[i]) << i;  // variant equality: the type must match too
        EXPECT_EQ(loaded->data.index(), values[i].data.index()) << i;
    }
    EXPECT_TRUE(std::signbit(*reopened->object("v0")->as<double>()));
    EXPECT_TRUE(logger.lines().empty());

    reopened->setObject("integer", 180.0);
    EXPECT_TRUE(reopened->hasUnsavedChanges()) << "changing only the type is a change";
    ASSERT_TRUE(reopened->flush());
    EXPECT_EQ(open()->object("integer"), DefaultsValue(180.0));
}

TEST_F(JsonDefaultsSuiteTest, ABurstOfChangesIsOneSaveAtTheEndOfTheLoopTurnAndClosingSavesTheRest) {
    auto store = open();
    EXPECT_TRUE(store->isPersistent());
    EXPECT_FALSE(store->object("key0"));
    EXPECT_FALSE(fs::exists(file.parent_path())) << "reading creates nothing";

    for (int i = 0; i < 12; ++i)
        store->setObject("key" + std::to_string(i), std::int64_t{i});
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    scheduler.runDue();
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_EQ(open()->object("key11"), DefaultsValue(std::int64_t{11}));

    store->setObject("key3", std::int64_t{3});
    EXPECT_FALSE(store->hasUnsavedChanges()) << "an equal value is no change";
    store->removeObject("missing");
    EXPECT_EQ(scheduler.pendingCount(), 0u);

    store->removeObject("key0");
    store.reset();
    EXPECT_EQ(scheduler.pendingCount(), 0u) << "the destroyed store's save was withdrawn";
    auto reopened = open();
    EXPECT_FALSE(reopened->object("key0"));
    EXPECT_EQ(reopened->object("key1"), DefaultsValue(std::int64_t{1}));
    EXPECT_TRUE(logger.lines().empty());
}

TEST_F(JsonDefaultsSuiteTest, AFailedSaveLeavesTheOldFileAsItWasAndIsRetried) {
    const fs::path settings = file.parent_path();
    const fs::path temporary = file.string() + ".tmp";
    struct Case {
        const char* name;
        std::function<void()> block, clear;
        std::string step;
    };
    const Case cases[] = {
        {"a file where the directory goes", [&] { writeFile(settings, "not a directory"); },
         [&] { fs::remove(settings); }, "creating \"" + settings.string() + "\""},
        // The write stops before the rename, as a crash or a full disk would stop it.
        {"what the save cannot clear where the temporary file goes",
         [&] { fs::create_directories(temporary / "blocker"); }, [&] { fs::remove_all(temporary); },
         "removing the old \"" + temporary.string() + "\""}};
    auto store = open();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        c.block();
        const std::string before = readFile(file);
        const double value = 90.0 + static_cast<double>(i);
        store->setObject("showDelayMS", value);
        logger.clear();
        EXPECT_FALSE(store->flush());
        EXPECT_EQ(readFile(file), before);
        const std::string message = onlyError();
        EXPECT_TRUE(message.starts_with("Could not save settings to \"" + file.string() +
                                        "\": " + c.step + " failed ("))
            << message;
        EXPECT_TRUE(message.ends_with("); the previous file is unchanged")) << message;
        // The change is still in memory and goes out with the next save once the way is clear.
        EXPECT_TRUE(store->hasUnsavedChanges());
        c.clear();
        EXPECT_TRUE(store->flush());
        EXPECT_EQ(open()->object("showDelayMS"), DefaultsValue(value));
    }
}

TEST_F(JsonDefaultsSuiteTest, EveryKindOfUnusableFileIsSetAsideAndDefaultsAreUsed) {
    const std::string tooDeep = "is not valid JSON (it is nested deeper than 64 levels)";
    const std::pair<std::string, std::string> cases[] = {
        // Reading a directory is an error, not empty settings; a FIFO must not block the read.
        {"<dir>", "could not be read ("},
        {"<fifo>", "is not a regular file"},
        {"<zero>", "is not a regular file"},  // read without bound, it would exhaust memory
        {"{\"a\": \"" + std::string(1 << 20, 'x') + "\"}", "is larger than 1048576 bytes"},
        {std::string(65, '[') + std::string(65, ']'), tooDeep},
        {std::string(64, '[') + std::string(64, ']'), "does not hold a JSON object"},
        {"42", "does not hold a JSON object"},
        {"", "is not valid JSON ("},
        {"  \n", "is not valid JSON ("},
        {"{\"showDelayMS\": 120.0, \"altTab", "is not valid JSON ("}};
    const std::regex asideName(R"(app\.vantorel\.Vantorel\.json\.corrupt-\d{8}T\d{6}(-\d+)?)");
    const std::string moved = "; moved it to \"", ending = "\" and using the default settings";
    fs::path aside;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [text, problem] = cases[i];
        SCOPED_TRACE("'" + text.substr(0, 80) + "'");
        const bool special = text.starts_with('<');
        if (text == "<dir>") fs::create_directories(file / "inside");
        if (text == "<fifo>") ::mkfifo(file.c_str(), 0600);
        if (text == "<zero>") fs::create_symlink("/dev/zero", file);
        if (!special) writeFile(file, text);
        logger.clear();
        auto store = open();
        EXPECT_FALSE(fs::exists(file));
        EXPECT_FALSE(store->object("showDelayMS"));

        const std::string message = onlyError();
        EXPECT_TRUE(message.starts_with("Settings file \"" + file.string() + "\" " + problem))
            << message;
        const auto at = message.find(moved);
        ASSERT_NE(at, std::string::npos) << message;
        ASSERT_TRUE(message.ends_with(ending)) << message;
        aside =
            message.substr(at + moved.size(), message.size() - ending.size() - at - moved.size());
        EXPECT_EQ(aside.parent_path(), file.parent_path());
        // A local timestamp, and a counter when one from the same second is already there.
        EXPECT_TRUE(std::regex_match(aside.filename().string(), asideName)) << aside;
        EXPECT_TRUE(text == "<dir>"    ? fs::exists(aside / "inside")
                    : text == "<fifo>" ? fs::is_fifo(aside)
                    : text == "<zero>" ? fs::is_symlink(aside)
                                       : readFile(aside) == text);
        // Set aside repeatedly, possibly within one second: every copy is kept.
        EXPECT_EQ(std::size_t(std::distance(fs::directory_iterator(file.parent_path()), {})),
                  i + 1);
    }
    // New settings start a new file; the set-aside one is left alone.
    auto store = open();
    store->setObject("showDelayMS", 200.0);
    ASSERT_TRUE(store->flush());
    EXPECT_EQ(open()->object("showDelayMS"), DefaultsValue(200.0));
    EXPECT_EQ(readFile(aside), cases[std::size(cases) - 1].first);
}

TEST_F(JsonDefaultsSuiteTest, AFileThatCannotBeSetAsideIsNeverOverwritten) {
    // A name so long that the aside name exceeds the file system's limit: the rename fails
    // even for root, for whom a read-only directory would not.
    file = directory / (std::string(240, 's') + ".json");
    writeFile(file, "not json");
    auto store = open();
    EXPECT_FALSE(store->isPersistent());
    const std::string message = onlyError();
    EXPECT_TRUE(message.starts_with("Settings file \"" + file.string() + "\" is not valid JSON ("))
        << message;
    EXPECT_TRUE(
        message.ends_with(") and could not be moved aside (File name too long); using "
                          "the default settings without saving them"))
        << message;

    store->setObject("showDelayMS", 1.0);
    EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(1.0));
    EXPECT_FALSE(store->flush());
    store.reset();
    EXPECT_EQ(readFile(file), "not json");
}

TEST_F(JsonDefaultsSuiteTest, ValuesNoStoreTypeHoldsAreAbsentAndWrittenBackAsTheyWere) {
    // Kept in key order, so that the saved file reads as the loaded one with one value changed.
    const std::string before =
        R"({"b": 123456789012345678901234567890, "c": [1, -1.5E+999], "d": -99999999999999999999,)"
        R"( "e": 1e-400, "f": "1e400", "fromNewer": null, "huge": 18446744073709551615,)"
        R"( "nested": {"list": [1, null, "x"]}, "showDelayMS": 5})";
    writeFile(file, before);
    writeFile(file.string() + ".tmp", "half a save");  // a crash's leftover
    auto store = open();
    for (const char* key : {"b", "c", "d", "e", "fromNewer", "huge", "nested"})
        EXPECT_FALSE(store->object(key)) << key << ": one value it cannot hold makes all absent";
    EXPECT_EQ(store->object("f"), DefaultsValue("1e400"));
    EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(std::int64_t{5}));
    store->setObject("showDelayMS", 7.5);
    ASSERT_TRUE(store->flush());
    const auto squeezed = [](std::string text) {
        std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
        return text;
    };
    std::string after = squeezed(before);
    after.replace(after.rfind('5'), 1, "7.5");
    EXPECT_EQ(squeezed(readFile(file)), after);
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
    EXPECT_TRUE(logger.lines().empty());
}

TEST_F(JsonDefaultsSuiteTest, NonFiniteNumbersAndInvalidUtf8AreRefusedAndTheOldValueKept) {
    auto store = open();
    store->setObject("showDelayMS", 180.0);
    store->setObject("name", "ok");
    ASSERT_TRUE(store->flush());
    const std::string before = readFile(file);
    const double inf = std::numeric_limits<double>::infinity();
    const std::string numbers = "the settings file cannot hold NaN or infinite numbers";
    const std::tuple<std::string, DefaultsValue, std::string> cases[] = {
        {"showDelayMS", std::numeric_limits<double>::quiet_NaN(), numbers},
        {"showDelayMS", -inf, numbers},
        {"list", DefaultsArray{1.0, DefaultsDictionary{{"x", inf}}}, numbers},
        {"name", std::string("bad \xff\xfe"), "its text is not valid UTF-8"},
        {"key \xc3", "value", "its text is not valid UTF-8"}};
    for (const auto& [key, value, reason] : cases) {
        logger.clear();
        store->setObject(key, value);
        EXPECT_EQ(onlyError(),
                  "Refused to store \"" + key + "\": " + reason + "; kept the previous value");
    }
    EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(180.0));
    EXPECT_EQ(store->object("name"), DefaultsValue("ok"));
    EXPECT_FALSE(store->object("list"));
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    EXPECT_EQ(readFile(file), before);
}

TEST_F(JsonDefaultsSuiteTest, AFileWeMayNotWriteOrOpenIsLeftAsItIsAndChangesStayInMemory) {
    const std::string name = "Settings file \"" + file.string() + "\" ";
    const std::pair<fs::perms, std::vector<std::string>> cases[] = {
        {fs::perms::owner_read,
         {name + "cannot be written (Permission denied); settings changes are kept in memory "
                 "only this session"}},
        {fs::perms::none,
         {name + "could not be opened (Permission denied); using the default settings and "
                 "leaving it as it is",
          "Settings changes are kept in memory only this session"}}};
    // Root passes every permission check: lower its override for the while.
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{}, lowered[2]{};
    ::syscall(SYS_capget, &header, saved);
    std::copy(saved, saved + 2, lowered);
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    for (const auto& [mode, lines] : cases) {
        writeFile(file, "{\"showDelayMS\": 300.0}");
        fs::permissions(file, mode);
        ::syscall(SYS_capset, &header, lowered);
        logger.clear();
        auto store = open();
        for (const double delay : {90.0, 60.0}) {
            store->setObject("showDelayMS", delay);
            EXPECT_FALSE(store->flush());
            EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(delay));
        }
        ::syscall(SYS_capset, &header, saved);
        EXPECT_EQ(logger.messages("app"), lines) << "said once";
        EXPECT_EQ(readFile(file), "{\"showDelayMS\": 300.0}");
        EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);
    }
}

TEST_F(JsonDefaultsSuiteTest, SavingKeepsTheFileModeAndFollowsASymbolicLink) {
    const fs::path dotfiles = directory / "dotfiles" / "vantorel.json";
    writeFile(dotfiles, "{}");
    ::chmod(dotfiles.c_str(), 0600);
    fs::create_directories(file.parent_path());
    fs::create_symlink(dotfiles, file);

    auto store = open();
    store->setObject("a", std::int64_t{1});
    ASSERT_TRUE(store->flush());
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(json::parse(readFile(dotfiles)).at("a"), 1);
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
    const fs::path home = "/home/u/.config/vantorel/app.vantorel.Vantorel.json";
    const std::tuple<const char*, const char*, fs::path> cases[] = {
        {"/cfg", "/home/u", "/cfg/vantorel/app.vantorel.Vantorel.json"},
        {nullptr, "/home/u", home},
        {"", "/home/u", home},
        {"relative/cfg", "/home/u", home},
        {nullptr, nullptr, {}},
        {"", "relative", {}}};
    for (const auto& [config, user, path] : cases)
        EXPECT_EQ(JsonUserDefaults::defaultPath(config, user), path) << path;
    EXPECT_TRUE(JsonUserDefaults::defaultPath().empty() ||
                JsonUserDefaults::defaultPath().is_absolute());
    // The Dock's domain belongs to the macOS Dock: none opens here, nor our own by name.
    ManualScheduler scheduler;
    MemoryLogger logger;
    JsonUserDefaults defaults({}, scheduler, logger);
    EXPECT_EQ(defaults.suite("com.apple.dock"), nullptr);
    EXPECT_EQ(defaults.suite("app.vantorel.Vantorel"), nullptr);
}

}  // namespace
}  // namespace vantorel
