#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/linux/JsonDefaultsSuite.h"
#include "platform/sim/ManualScheduler.h"
#include "platform/sim/MemoryLogger.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

// What may sit at the settings path, made for real in a temporary folder.
class SettingsFileSafetyTest : public testing::Test {
protected:
    ~SettingsFileSafetyTest() override { fs::remove_all(directory); }
    std::unique_ptr<JsonDefaultsSuite> open(const std::function<void()>& plant) {
        fs::remove_all(directory);
        fs::create_directories(directory);
        plant();
        logger.clear();
        return std::make_unique<JsonDefaultsSuite>(file, scheduler, logger);
    }
    std::function<void()> write(const std::string& text) {
        return [this, text] { std::ofstream(file, std::ios::binary) << text; };
    }
    std::string read() const {
        std::stringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        return text.str();
    }
    static std::string squeezed(std::string s) {
        std::erase_if(s, [](char c) { return c == ' ' || c == '\n'; });
        return s;
    }
    std::string log() const {
        std::string all;
        for (const auto& line : logger.lines())
            all += line.message + "\n";
        return all;
    }
    std::size_t entries() const { return std::distance(fs::directory_iterator(directory), {}); }

    const fs::path directory = fs::temp_directory_path() / ("vantorel-" + std::to_string(getpid()));
    const fs::path file = directory / "settings.json";
    const std::string name = "Settings file \"" + file.string() + "\" ";
    ManualScheduler scheduler;
    MemoryLogger logger;
};

TEST_F(SettingsFileSafetyTest, WhatCannotBeSettingsIsSetAsideUnreadAndANewFileStarted) {
    const std::string tooDeep = "is not valid JSON (it is nested deeper than 64 levels)";
    const std::string deep = std::string(70000, '[') + std::string(70000, ']');
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { ::mkfifo(file.c_str(), 0600); }, "is not a regular file"},
        {[&] { fs::create_symlink("/dev/zero", file); }, "is not a regular file"},
        {write("{\"a\": \"" + std::string(1 << 20, 'x') + "\"}"), "is larger than 1048576 bytes"},
        {write("{\"a\": " + deep + "}"), tooDeep},
        {write(std::string(65, '[') + std::string(65, ']')), tooDeep},
        {write(std::string(64, '[') + std::string(64, ']')), "does not hold a JSON object"}};
    for (const auto& [plant, problem] : cases) {
        auto store = open(plant);
        EXPECT_TRUE(log().starts_with(name + problem + "; moved it to")) << log();
        store->setObject("showDelayMS", 90.0);
        EXPECT_TRUE(store->flush());
        EXPECT_EQ(entries(), 2u);
    }
}

TEST_F(SettingsFileSafetyTest, NumbersNoStoreTypeHoldsAreAbsentAndWrittenBackAsTheyWere) {
    const std::string text =
        "{\"b\": 123456789012345678901234567890, \"c\": [1, -1.5E+999], "
        "\"d\": -99999999999999999999, \"e\": 1e-400, \"f\": \"1e400\", "
        "\"showDelayMS\": 5}";
    auto store = open(write(text));
    for (const char* key : {"b", "c", "d", "e"})
        EXPECT_FALSE(store->object(key)) << key;
    EXPECT_EQ(store->object("f"), DefaultsValue("1e400"));
    store->setObject("showDelayMS", 7.0);
    store->setObject("showDelayMS", 5);
    ASSERT_TRUE(store->flush());
    EXPECT_EQ(log(), "");
    EXPECT_EQ(squeezed(read()), squeezed(text));
}

TEST_F(SettingsFileSafetyTest, FileWeMayNotWriteOrOpenIsLeftAsItIsAndChangesStayInMemory) {
    const std::pair<fs::perms, std::string> cases[] = {
        {fs::perms::owner_read,
         name + "cannot be written (Permission denied); settings changes are kept in memory "
                "only this session\n"},
        {fs::perms::none, name + "could not be opened (Permission denied); using the default "
                                 "settings and leaving it as it is\nSettings changes are kept in "
                                 "memory only this session\n"}};
    // Root passes every permission check: lower its override for the while.
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{}, lowered[2]{};
    ::syscall(SYS_capget, &header, saved);
    std::copy(saved, saved + 2, lowered);
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    for (const auto& [mode, lines] : cases) {
        auto store = open([&] {
            write("{\"showDelayMS\": 300.0}")();
            fs::permissions(file, mode);
            ::syscall(SYS_capset, &header, lowered);
        });
        for (const double delay : {90.0, 60.0}) {
            store->setObject("showDelayMS", delay);
            EXPECT_FALSE(store->flush());
            EXPECT_EQ(store->object("showDelayMS"), DefaultsValue(delay));
        }
        ::syscall(SYS_capset, &header, saved);
        EXPECT_EQ(log(), lines) << "said once";
        EXPECT_EQ(read(), "{\"showDelayMS\": 300.0}");
        EXPECT_EQ(entries(), 1u);
    }
}

}  // namespace
}  // namespace vantorel
