#include "platform/linux/MprisScripting.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

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
const std::string kNotRunning = " got an error: Application isn’t running.";

QByteArray chunk(const char* id, QByteArray body) {
    QByteArray out(id);
    for (int i = 0; i < 4; ++i)
        out += char((body.size() >> (8 * i)) & 0xff);
    if (body.size() % 2) body += '\0';
    return out + body;
}

// A second of 8 kHz mono silence, tagged with a title that has a line break in it.
QByteArray taggedSilence() {
    const QByteArray format("\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00", 16);
    const QByteArray tags = "INFO" + chunk("INAM", QByteArray("Test\nTone", 10)) +
                            chunk("IART", QByteArray("Vantorel", 9));
    return chunk("RIFF", "WAVE" + chunk("fmt ", format) + chunk("LIST", tags) +
                             chunk("data", QByteArray(16000, '\0')));
}

// Bounded: the player answers in its own time, never in ours.
bool waitFor(const std::function<bool()>& done) {
    for (QDeadlineTimer deadline(10s); !done();) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::string playerctl(const QStringList& arguments) {
    QProcess process;
    process.start("playerctl", arguments);
    process.waitForFinished(2000);
    return process.readAllStandardOutput().trimmed().toStdString();
}

// Music on the simulated Dock, its scripts answered over the session bus of this process, which
// runs inside a private one of its own.
class MprisScriptingTest : public testing::Test {
protected:
    MprisScriptingTest() {
        desktop.launchDock();
        desktop.launch(SimAppSpec{"Music",
                                  "com.apple.Music",
                                  "/Applications/Music.app",
                                  RunningApplication::kPolicyRegular,
                                  {}});
        desktop.setDockTiles({{SimDockTileSpec::Kind::application, "Music", std::nullopt}});
        permissions.checkAccessibility(false);
        coordinator.start();
    }
    void advance(Duration total) {
        for (Duration done{}; done < total; done += 10ms) {
            desktop.scheduler.advance(10ms);
            desktop.scheduler.runDue();
            executor.drain();
        }
    }
    std::optional<std::string> run(std::string_view source) { return service.runScript(source); }

    SimDesktop desktop;
    MprisScripting scripting;
    PlatformPorts ports = desktop.ports().withScripting(scripting);
    MediaService service{ports};
    ManualExecutor executor;
    PermissionsManager permissions{ports};
    Preferences preferences{desktop.defaults.standard(), desktop.logger};
    SimPanelSurface* media = nullptr;
    std::unique_ptr<SimPanelSurface> surface() {
        return std::make_unique<SimPanelSurface>(desktop.scheduler, [] { return Size{300, 140}; });
    }
    AppCoordinator coordinator{ports,
                               permissions,
                               preferences,
                               executor,
                               executor,
                               PanelFactories{[this](PreviewState&) { return surface(); },
                                              [this](FolderState&) { return surface(); },
                                              [this](MediaState&) {
                                                  auto made = surface();
                                                  media = made.get();
                                                  return made;
                                              }}};
};

TEST_F(MprisScriptingTest, OnlyThePlayersOwnScriptsReachAPlayerThatRuns) {
    std::string changed = MediaService::statusScript(MediaPlayer::music);
    changed[changed.find("paused")] = 'P';
    const struct {
        std::string source;
        std::string logged;
    } cases[] = {
        {changed, "A player script was expected."},
        {"tell application \"Music\" to play", "A player script was expected."},
        {"", "A player script was expected."},
        {MediaService::statusScript(MediaPlayer::spotify), "Spotify" + kNotRunning},
        {MediaService::nextTrackScript(MediaPlayer::music), "Music" + kNotRunning},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        desktop.logger.clear();
        EXPECT_EQ(run(c.source), std::nullopt);
        EXPECT_EQ(desktop.logger.count("AppleScript failed: " + c.logged), 1u);
    }
}

TEST_F(MprisScriptingTest, TheWidgetShowsARealPlayerAndPausesIt) {
    if (QStandardPaths::findExecutable("mpv").isEmpty() || !QFile::exists(kPlugin) ||
        QStandardPaths::findExecutable("playerctl").isEmpty())
        GTEST_SKIP() << "needs the Debian packages mpv, mpv-mpris and playerctl";
    QTemporaryDir folder;
    QFile tone(folder.filePath("tone.wav"));
    ASSERT_TRUE(tone.open(QIODevice::WriteOnly) && tone.write(taggedSilence()) > 0);
    tone.close();
    QProcess mpv;
    mpv.start("mpv", {"--no-config", "--ao=null", "--vo=null", "--loop-file=inf",
                      QString("--script=") + kPlugin, tone.fileName()});
    const std::string status = MediaService::statusScript(MediaPlayer::music);
    ASSERT_TRUE(waitFor([&] { return run(status) == "playing\nTest Tone\nVantorel"; }));

    desktop.movePointerAX(desktop.dockTileFrame(0).center());
    advance(200ms);
    ASSERT_TRUE(media && media->isVisible());
    const auto playing = [this] { return coordinator.mediaPanel().state().nowPlaying(); };
    EXPECT_EQ(playing(),
              (MediaState::NowPlaying{MediaPlayer::music, "Test Tone", "Vantorel", true}));

    coordinator.mediaPanel().state().onPlayPause();
    EXPECT_TRUE(waitFor([] { return playerctl({"status"}) == "Paused"; }));
    EXPECT_TRUE(playing()->isPlaying);
    advance(150ms);
    EXPECT_FALSE(playing()->isPlaying);

    mpv.kill();
    mpv.waitForFinished();
    EXPECT_TRUE(waitFor([&] { return !run(status); }));
    EXPECT_GE(desktop.logger.count("AppleScript failed: Music" + kNotRunning), 1u);
}

}  // namespace
}  // namespace vantorel

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
