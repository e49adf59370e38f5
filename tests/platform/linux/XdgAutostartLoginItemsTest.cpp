#include "platform/linux/XdgAutostartLoginItems.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ScratchFolder.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;
using Status = LoginItems::Status;

// What desktops themselves check of an entry, where the validator is installed; 0 is valid.
int validate(const fs::path& entry) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) return 0;
    return std::system(("desktop-file-validate '" + entry.string() + "'").c_str());
}

std::string read(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

class XdgAutostartTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(root.empty()); }
    ScratchFolder scratch{"vantorel-autostart"};
    const fs::path root = scratch.path();
};

TEST_F(XdgAutostartTest, RegisteringWritesTheEntryAndTheDesktopMaySwitchItOff) {
    XdgAutostartLoginItems items(root / "autostart", "/opt/vantorel/bin/vantorel");
    EXPECT_EQ(items.status(), Status::notRegistered);
    EXPECT_EQ(items.registerItem(), std::nullopt);
    EXPECT_EQ(items.status(), Status::enabled);
    const std::string text = read(items.entryPath());
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\n")) << text;
    EXPECT_EQ(validate(items.entryPath()), 0) << text;
    EXPECT_NE(text.find("\nExec=/opt/vantorel/bin/vantorel\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(items.entryPath().string() + ".tmp"));

    const std::pair<std::string, Status> cases[] = {
        {"[Desktop Entry]\nExec=x\nHidden=true\n", Status::notRegistered},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled = false\n", Status::notRegistered},
        {"[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\n", Status::enabled},
        // Keys of another group say nothing about the entry.
        {"[Desktop Entry]\nExec=x\n[Desktop Action quit]\nHidden=true\n", Status::enabled},
        {"# comment\n\n[Desktop Entry]\n  Hidden=true  \n", Status::notRegistered}};
    for (const auto& [entry, status] : cases) {
        std::ofstream(items.entryPath()) << entry;
        EXPECT_EQ(items.status(), status) << entry;
    }
    // Enabling a switched-off entry rewrites it as ours; unregistering removes it, twice too.
    EXPECT_EQ(items.registerItem(), std::nullopt);
    EXPECT_EQ(items.status(), Status::enabled);
    EXPECT_EQ(items.unregisterItem(), std::nullopt);
    EXPECT_EQ(items.status(), Status::notRegistered);
    EXPECT_EQ(items.unregisterItem(), std::nullopt);
}

TEST_F(XdgAutostartTest, AnUnwritableDirectoryIsAFailureAndPathsAreQuoted) {
    fs::create_directories(root);
    std::ofstream(root / "autostart") << "a file where the directory should be";
    XdgAutostartLoginItems items(root / "autostart", "/home/ana/My Apps/100% \"real\"/vantorel");
    const auto failure = items.registerItem();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("autostart"), std::string::npos);
    EXPECT_EQ(items.status(), Status::notRegistered);
    // As desktop entries require.
    EXPECT_NE(items.entryText().find("Exec=\"/home/ana/My Apps/100%% \\\"real\\\"/vantorel\"\n"),
              std::string::npos)
        << items.entryText();
    XdgAutostartLoginItems writable(root / "elsewhere", "/home/ana/My Apps/100% \"real\"/vantorel");
    ASSERT_EQ(writable.registerItem(), std::nullopt);
    EXPECT_EQ(validate(writable.entryPath()), 0) << writable.entryText();
}

}  // namespace
}  // namespace vantorel
