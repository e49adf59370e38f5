#include "platform/linux/XdgAutostartLoginItems.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantorel {
namespace {

namespace fs = std::filesystem;

class XdgAutostartTest : public testing::Test {
protected:
    XdgAutostartTest() {
        root = fs::path(testing::TempDir()) /
               ("vantorel-autostart-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
    }
    ~XdgAutostartTest() override { fs::remove_all(root); }

    std::string read(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

    fs::path root;
};

TEST_F(XdgAutostartTest, RegisteringWritesTheEntryAndUnregisteringRemovesIt) {
    XdgAutostartLoginItems items(root / "autostart", "/opt/vantorel/bin/vantorel");
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);
    EXPECT_EQ(items.registerItem(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::Status::enabled);
    const std::string text = read(items.entryPath());
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(text.find("Exec=/opt/vantorel/bin/vantorel\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(items.entryPath().string() + ".tmp"));

    EXPECT_EQ(items.unregisterItem(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);
    EXPECT_EQ(items.unregisterItem(), std::nullopt);  // nothing left to remove is not a failure
}

TEST_F(XdgAutostartTest, AnEntryTheDesktopSwitchedOffIsNotEnabled) {
    XdgAutostartLoginItems items(root, "/usr/bin/vantorel");
    fs::create_directories(root);
    const std::pair<std::string, LoginItems::Status> cases[] = {
        {"[Desktop Entry]\nExec=x\nHidden=true\n", LoginItems::Status::notRegistered},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled = false\n", LoginItems::Status::notRegistered},
        {"[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\n",
         LoginItems::Status::enabled},
        // Keys of another group say nothing about the entry.
        {"[Desktop Entry]\nExec=x\n[Desktop Action quit]\nHidden=true\n",
         LoginItems::Status::enabled},
        {"# comment\n\n[Desktop Entry]\n  Hidden=true  \n", LoginItems::Status::notRegistered},
    };
    for (const auto& [text, status] : cases) {
        write(items.entryPath(), text);
        EXPECT_EQ(items.status(), status) << text;
    }
    // Enabling a switched-off entry rewrites it as ours.
    EXPECT_EQ(items.registerItem(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::Status::enabled);
}

TEST_F(XdgAutostartTest, AnUnwritableDirectoryIsReportedAsAFailure) {
    fs::create_directories(root);
    write(root / "autostart", "a file where the directory should be");
    XdgAutostartLoginItems items(root / "autostart", "/usr/bin/vantorel");
    const auto failure = items.registerItem();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("autostart"), std::string::npos);
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);
}

TEST_F(XdgAutostartTest, ExecutablePathsAreQuotedAsDesktopEntriesRequire) {
    XdgAutostartLoginItems items(root, "/home/ana/My Apps/100% \"real\"/vantorel");
    EXPECT_NE(items.entryText().find("Exec=\"/home/ana/My Apps/100%% \\\"real\\\"/vantorel\"\n"),
              std::string::npos)
        << items.entryText();
}

}  // namespace
}  // namespace vantorel
