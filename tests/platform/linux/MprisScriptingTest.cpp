#include "platform/linux/MprisScripting.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <string>

#include "app/AppCoordinator.h"
#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/PlatformPorts.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelSurface.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
constexpr auto kPlugin = "/usr/lib/mpv-mpris/mpris.so";

// Bounded: the player answers in its own time, never in ours.
template <typename Done>
bool waitFor(Done done) {
    for (QDeadlineTimer deadline(10s); !done(); QCoreApplication::processEvents())
        if (deadline.hasExpired()) return false;
    return true;
}

bool stopped(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto end = line.rfind(')');
    return end != std::string::npos && end + 2 < line.size() && line[end + 2] == 'T';
}

// Music on the simulated Dock, answered by a real mpv on this process's own session bus: the
// widget shows what it plays, Pause pauses it, the icon follows at the re-query, and a changed
// script or a player gone reaches nothing.
TEST(MprisScripting, TheMediaWidgetFollowsARealPlayer) {
    if (!QFile::exists("/usr/bin/mpv") || !QFile::exists(kPlugin) ||
        !QFile::exists("/usr/bin/playerctl"))
        GTEST_SKIP() << "needs the Debian packages mpv, mpv-mpris and playerctl";
    SimDesktop desktop;
    // A generous bound: on a loaded machine a healthy player can take longer than the default.
    MprisScripting scripting({}, 2s);
    const PlatformPorts ports = desktop.ports().withScripting(scripting);
    const MediaService service(ports);
    desktop.launchDock();
    desktop.launch({"Music", "com.apple.Music", "/Applications/Music.app", 0, {}});
    desktop.setDockTiles({{SimDockTileSpec::Kind::application, "Music", std::nullopt}});
    ManualExecutor executor;
    PermissionsManager permissions(ports);
    Preferences preferences(desktop.defaults.standard(), desktop.logger);
    const auto surface = [&](auto&) -> std::unique_ptr<PanelSurface> {
        return std::make_unique<SimPanelSurface>(desktop.scheduler, [] { return Size{300, 140}; });
    };
    AppCoordinator coordinator(ports, permissions, preferences, executor, executor,
                               {surface, surface, surface, surface, surface});
    permissions.checkAccessibility(false);
    coordinator.start();

    // A second of 8 kHz mono silence, tagged with a title that has a line break in it.
    const QByteArray header(
        "RIFF\xd4\x3e\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x80\x3e\0\0\2\0\x10\0LIST\x28\0\0\0"
        "INFOINAM\x0a\0\0\0Test\nTone\0IART\x09\0\0\0Vantorel\0\0data\x80\x3e\0\0",
        92);
    QTemporaryDir folder;
    QFile tone(folder.filePath("tone.wav"));
    ASSERT_TRUE(tone.open(QIODevice::WriteOnly) && tone.write(header + QByteArray(16000, 0)) > 0 &&
                tone.flush());
    QProcess mpv;
    mpv.start("mpv", {"--no-config", "--ao=null", "--vo=null", "--loop-file=inf",
                      QString("--script=") + kPlugin, tone.fileName()});
    const std::string status = MediaService::statusScript(MediaPlayer::music);
    ASSERT_TRUE(
        waitFor([&] { return service.runScript(status) == "playing\nTest Tone\nVantorel"; }));
    std::string changed = status;
    changed[changed.find("paused")] = 'P';
    EXPECT_EQ(service.runScript(changed), std::nullopt);
    EXPECT_EQ(desktop.logger.count("AppleScript failed: A player script was expected."), 1u);

    desktop.movePointerAX(desktop.dockTileFrame(0).center());
    desktop.scheduler.advance(200ms);
    MediaState& widget = coordinator.mediaPanel().state();
    ASSERT_EQ(widget.nowPlaying(),
              (MediaState::NowPlaying{MediaPlayer::music, "Test Tone", "Vantorel", true}));
    widget.onPlayPause();
    EXPECT_TRUE(waitFor([] {
        QProcess playerctl;
        playerctl.start("playerctl", {"status"});
        return playerctl.waitForFinished() && playerctl.readAll().trimmed() == "Paused";
    }));
    EXPECT_TRUE(widget.nowPlaying()->isPlaying);
    desktop.scheduler.advance(150ms);
    ASSERT_TRUE(widget.nowPlaying());
    EXPECT_FALSE(widget.nowPlaying()->isPlaying);

    // A player that hangs costs the call's bound, then reads as a failed script.
    ::kill(pid_t(mpv.processId()), SIGSTOP);
    // The stop lands when the kernel gets to it; until then the player may still answer.
    ASSERT_TRUE(waitFor([&] { return stopped(pid_t(mpv.processId())); }));
    EXPECT_EQ(service.runScript(status), std::nullopt);
    EXPECT_EQ(desktop.logger.count("AppleScript failed: Music got an error: AppleEvent timed out."),
              1u);
    ::kill(pid_t(mpv.processId()), SIGCONT);
    mpv.kill();
    mpv.waitForFinished();
    EXPECT_TRUE(waitFor([&] { return !service.runScript(status); }));
    EXPECT_GE(
        desktop.logger.count("AppleScript failed: Music got an error: Application isn’t running."),
        1u);
}

}  // namespace
}  // namespace vantorel

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
