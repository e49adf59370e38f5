#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Logger.h"
#include "widgets/MediaPlayer.h"
#include "widgets/MediaState.h"

namespace vantorel {

class Scripting;
struct PlatformPorts;

// Asks the media players what they play and sends them transport commands, one script each,
// synchronously on the main thread. Holds no state of its own. A failing script is logged and
// reads as nothing playing.
class MediaService {
public:
    using Player = MediaPlayer;
    using NowPlaying = MediaState::NowPlaying;

    MediaService(Scripting& scripting, Logger& logger)
        : scripting_(&scripting), log_(logger, "media") {}
    explicit MediaService(const PlatformPorts& ports);

    // The same script for every player but for the name it addresses.
    static std::string statusScript(Player player);
    static std::string playPauseScript(Player player);
    static std::string nextTrackScript(Player player);
    static std::string previousTrackScript(Player player);
    // The status a reply tells: none unless its first line is "playing" or "paused".
    static std::optional<NowPlaying> parseStatus(Player player, std::string_view reply);

    // None when the script fails or the player is neither playing nor paused.
    std::optional<NowPlaying> nowPlaying(Player player) const;
    void playPause(Player player) const;
    void nextTrack(Player player) const;
    void previousTrack(Player player) const;

    // The reply's text; none when the script could not be made, failed (logged) or answered
    // nothing that is text.
    std::optional<std::string> runScript(std::string_view source) const;

private:
    Scripting* scripting_;
    Log log_;
};

}  // namespace vantorel
