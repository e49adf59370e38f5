#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <fstream>

#include "ScratchFolder.h"
#include "platform/x11/DesktopEntries.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Rig.h"

namespace vantorel {
namespace {

TEST(DesktopEntriesTest, ReadsTheMainGroupWithTheNameOfTheLocaleAndRefusesTheRest) {
    const std::string localised =
        "# comment\n[Desktop Entry]\nType=Application\nName=Plain\nName[de]=Deutsch\n"
        "Name[de_AT]=Österreich\nName[sr@latin]=Latinica\nIcon=probe\n"
        "StartupWMClass=Probe\nnot a line\n[Desktop Action new]\nName=Action\n";
    const struct {
        std::string text;
        const char* locale;
        std::optional<std::string> name;
    } cases[] = {
        {localised, "de_AT.UTF-8", "Österreich"},
        {localised, "de_CH.UTF-8", "Deutsch"},
        {localised, "sr_RS@latin", "Latinica"},
        {localised, "fr_FR", "Plain"},
        {"[Desktop Entry]\nType=Application\nName= spaced\\sout\\\\ \n", "", "spaced out\\"},
        {"[Desktop Entry]\nType=Link\nName=Link\n", "", std::nullopt},
        {"[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n", "", std::nullopt},
        {"[Desktop Entry]\nType=Application\nIcon=nameless\n", "", std::nullopt},
        {"[Other]\n[Desktop Entry]\nType=Application\nName=Late\n", "", std::nullopt},
        {"Type=Application\nName=Groupless\n", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " @ " + c.locale);
        const auto entry = DesktopEntries::parse(c.text, c.locale);
        EXPECT_EQ(entry ? std::optional(entry->name) : std::nullopt, c.name);
    }
}

TEST(X11PropertiesTest, TheBestWindowIconIsChosenPremultipliedAndMalformedOnesRefused) {
    std::vector<std::uint32_t> two{2, 2, 0x80FF0000, 0x80FF0000, 0x80FF0000, 0x80FF0000, 4, 4};
    two.insert(two.end(), 16, 0xFF00FF00);
    const struct {
        std::vector<std::uint32_t> values;
        int wanted;
        int width;  // 0: refused
    } cases[] = {
        {two, 1, 2},     {two, 3, 4},           {two, 128, 4},
        {{}, 16, 0},     {{16}, 16, 0},         {{2, 2, 1, 2, 3}, 16, 0},
        {{0, 5}, 16, 0}, {{5000, 1, 0}, 16, 0}, {{1, 1, 7, 1}, 16, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.values) + " for " + std::to_string(c.wanted));
        const ImageRef icon = X11Properties::bestIcon(c.values, c.wanted);
        EXPECT_EQ(icon ? icon->width : 0, c.width);
        EXPECT_TRUE(!icon || icon->isValid());
    }
    EXPECT_EQ(X11Properties::bestIcon(two, 1)->pixels[0], 0x80800000u);
}

class X11ApplicationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.empty());
        std::filesystem::create_directories(dir / "applications/sub");
        std::filesystem::create_directories(dir / "icons/hicolor/48x48/apps");
        QImage icon(48, 48, QImage::Format_ARGB32);
        icon.fill(0xFF8040C0);
        ASSERT_TRUE(icon.save(QString::fromStdString(dir / "icons/hicolor/48x48/apps/probe.png")));
        std::ofstream(dir / "icons/hicolor/index.theme")
            << "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n"
               "[48x48/apps]\nSize=48\nType=Fixed\n";
        std::ofstream(dir / "applications/sub/probe.desktop")
            << "[Desktop Entry]\nType=Application\nName=Probe\nName[de]=Sonde Ä\nIcon=probe\n"
               "StartupWMClass=ProbeClass\n";
        std::ofstream(dir / "applications/byname.desktop")
            << "[Desktop Entry]\nType=Application\nName=By Name\n";
        // The system's own after ours: openbox needs its themes.
        ::setenv("XDG_DATA_DIRS", (dir.string() + ":/usr/share").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir / "none").c_str(), 1);
        ::setenv("LC_ALL", "de_DE.UTF-8", 1);
        rig = std::make_unique<X11Rig>();
        if (!rig->session.skipReason.empty()) GTEST_SKIP() << rig->session.skipReason;
    }
    void TearDown() override {
        rig.reset();
        ::unsetenv("LC_ALL");
    }
    ScratchFolder scratch{"vantorel-apps"};
    const std::filesystem::path dir = scratch.path();
    std::unique_ptr<X11Rig> rig;
};

TEST_F(X11ApplicationsTest, NamesAndIconsComeFromDesktopEntriesElseTheWindowAndPidsFromTheServer) {
    const struct {
        const char* cls;
        const char* flags;
        const char* name;
        int iconWidth;  // 0: none; -1: the window manager's stand-in for none
        std::uint32_t iconPixel;
    } cases[] = {
        {"ProbeClass", "icon", "Sonde Ä", 128, 0xFF8040C0}, {"Byname", "", "By Name", -1, 0},
        {"Iconic", "icon", "Iconic", 32, 0xFFEFDFCF},       {"Broken", "badicon", "Broken", 0, 0},
        {"Anonymous", "nopid", "Anonymous", -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cls);
        // Found by the pid the test started: for the client without _NET_WM_PID too.
        ASSERT_TRUE(rig->open(c.cls, c.cls, "-", "0x102030", c.flags));
        const auto app = rig->desktop->application(rig->lastPid);
        ASSERT_TRUE(app);
        EXPECT_EQ(app->localizedName, c.name);
        const int width = app->icon ? app->icon->width : 0;
        const std::uint32_t pixel = width ? app->icon->pixels[app->icon->pixels.size() / 2] : 0;
        if (c.iconWidth >= 0) {
            EXPECT_EQ(std::pair(width, pixel), std::pair(c.iconWidth, c.iconPixel));
        }
    }
}

}  // namespace
}  // namespace vantorel
