#include "widgets/MediaService.h"

#include <gtest/gtest.h>

#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimScripting.h"

namespace vantorel {
namespace {

using NowPlaying = MediaState::NowPlaying;
using Player = MediaService::Player;

// A runner that hands back one prepared outcome, for replies no faithful player gives.
class CannedScripting final : public Scripting {
public:
    ScriptOutcome outcome;
    ScriptOutcome run(std::string_view) override { return outcome; }
};

ScriptOutcome replying(std::optional<std::string> text) {
    return {true, std::nullopt, text};
}

ScriptOutcome failing(std::optional<std::string> message) {
    return {true, ScriptOutcome::Error{std::move(message), "{n}"}, std::nullopt};
}

TEST(MediaServiceTest, RepliesAndFailuresBecomeAStatusOrNone) {
    const auto playing = [](const char* title, const char* artist, bool isPlaying = true) {
        return NowPlaying{Player::spotify, title, artist, isPlaying};
    };
    const struct {
        const char* name;
        ScriptOutcome outcome;
        std::optional<NowPlaying> expected;
        const char* log = nullptr;
    } cases[] = {
        {"three lines", replying("playing\nSo What\nMiles Davis"),
         playing("So What", "Miles Davis")},
        {"one line paused", replying("paused"), playing("", "", false)},
        {"two lines", replying("playing\nIntro"), playing("Intro", "")},
        {"extra lines", replying("paused\n\nNina\nmore\n"), playing("", "Nina", false)},
        {"stopped", replying("stopped"), std::nullopt},
        {"other state", replying("fast forwarding\nA\nB"), std::nullopt},
        {"state is exact", replying("Playing\nA\nB"), std::nullopt},
        {"state with a space", replying("paused \nA\nB"), std::nullopt},
        {"carriage return", replying("playing\r\nA\r\nB"), std::nullopt},
        {"empty", replying(""), std::nullopt},
        {"no text", replying(std::nullopt), std::nullopt},
        {"not compiled", {false, std::nullopt, std::nullopt}, std::nullopt},
        {"refused", failing("Not authorized to send Apple events to Spotify."), std::nullopt,
         "AppleScript failed: Not authorized to send Apple events to Spotify."},
        {"no message", failing(std::nullopt), std::nullopt, "AppleScript failed: {n}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CannedScripting scripting;
        scripting.outcome = c.outcome;
        MemoryLogger logger;
        EXPECT_EQ(MediaService(scripting, logger).nowPlaying(Player::spotify), c.expected);
        EXPECT_EQ(logger.messages("media"),
                  c.log ? std::vector<std::string>{c.log} : std::vector<std::string>{});
    }
}

// The simulated players answer only the exact texts: every one the service sends is answered,
// and the same text with any one character changed or left out is refused.
TEST(MediaServiceTest, ThePlayersRefuseEveryTextOneCharacterAway) {
    for (const Player player : kAllMediaPlayers) {
        SCOPED_TRACE(std::string(scriptName(player)));
        SimScripting scripting;
        scripting.player(std::string(scriptName(player))).state = "paused";
        MemoryLogger logger;
        const MediaService service(scripting, logger);
        ASSERT_TRUE(service.nowPlaying(player));
        service.playPause(player);
        service.nextTrack(player);
        service.previousTrack(player);
        ASSERT_EQ(scripting.received().size(), 4u);
        EXPECT_TRUE(logger.lines().empty());

        const std::vector<std::string> sent = scripting.received();
        for (const std::string& text : sent) {
            for (std::size_t i = 0; i < text.size(); ++i) {
                std::string changed = text;
                changed[i] = static_cast<char>(changed[i] ^ 1);
                std::string shorter = text;
                shorter.erase(i, 1);
                EXPECT_TRUE(scripting.run(changed).error) << "changed at " << i << ":\n" << text;
                EXPECT_TRUE(scripting.run(shorter).error) << "without " << i << ":\n" << text;
            }
        }
    }
    EXPECT_EQ(MediaService::statusScript(Player::music).substr(24),
              MediaService::statusScript(Player::spotify).substr(26));
}

// How a simulated player fails where the coordinator's players do not: with no current track
// nothing starts or skips, and a refusal or a player that has quit is a message.
TEST(MediaServiceTest, SimulatedPlayersFailAsTheRealOnesDo) {
    SimScripting scripting;
    MemoryLogger logger;
    const MediaService service(scripting, logger);
    SimMediaPlayer& music = scripting.player("Music");
    music.tracks = {{"Blue in Green", "Miles Davis"}};
    music.current = 1;
    music.state = "stopped";
    service.playPause(Player::music);
    service.nextTrack(Player::music);
    EXPECT_EQ(service.nowPlaying(Player::music), std::nullopt);
    EXPECT_TRUE(logger.lines().empty());

    music.refusal = SimScriptRefusal{};
    EXPECT_EQ(service.nowPlaying(Player::music), std::nullopt);
    scripting.quitPlayer("Music");
    EXPECT_EQ(service.nowPlaying(Player::music), std::nullopt);
    EXPECT_EQ(logger.messages("media"),
              (std::vector<std::string>{
                  "AppleScript failed: Not authorized to send Apple events to the player.",
                  "AppleScript failed: Music got an error: Application isn’t running."}));
}

}  // namespace
}  // namespace vantorel
