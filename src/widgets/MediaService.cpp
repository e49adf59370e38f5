#include "widgets/MediaService.h"

#include <vector>

#include "platform/PlatformPorts.h"
#include "platform/Scripting.h"

namespace vantorel {
namespace {

constexpr std::string_view kTellApplication = "tell application \"";
constexpr std::string_view kStatusBody = R"("
    set playerState to (player state as string)
    if playerState is "playing" or playerState is "paused" then
        set trackName to ""
        set trackArtist to ""
        try
            set trackName to name of current track
        end try
        try
            set trackArtist to artist of current track
        end try
        return playerState & linefeed & trackName & linefeed & trackArtist
    else
        return playerState
    end if
end tell)";

std::string tell(MediaPlayer player, std::string_view rest) {
    std::string source(kTellApplication);
    source += scriptName(player);
    source += rest;
    return source;
}

}  // namespace

MediaService::MediaService(const PlatformPorts& ports)
    : MediaService(ports.scripting, ports.logger) {}

std::string MediaService::statusScript(Player player) {
    return tell(player, kStatusBody);
}

std::optional<MediaService::NowPlaying> MediaService::parseStatus(Player player,
                                                                  std::string_view reply) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = reply.find('\n', start);
        parts.push_back(reply.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    const std::string_view state = parts.front();
    if (state != "playing" && state != "paused") return std::nullopt;
    NowPlaying status;
    status.player = player;
    if (parts.size() >= 2) status.title = parts[1];
    if (parts.size() >= 3) status.artist = parts[2];
    status.isPlaying = state == "playing";
    return status;
}

std::optional<MediaService::NowPlaying> MediaService::nowPlaying(Player player) const {
    const auto reply = runScript(statusScript(player));
    if (!reply) return std::nullopt;
    return parseStatus(player, *reply);
}

std::string MediaService::playPauseScript(Player player) {
    return tell(player, "\" to playpause");
}

std::string MediaService::nextTrackScript(Player player) {
    return tell(player, "\" to next track");
}

std::string MediaService::previousTrackScript(Player player) {
    return tell(player, "\" to previous track");
}

void MediaService::playPause(Player player) const {
    runScript(playPauseScript(player));
}

void MediaService::nextTrack(Player player) const {
    runScript(nextTrackScript(player));
}

void MediaService::previousTrack(Player player) const {
    runScript(previousTrackScript(player));
}

std::optional<std::string> MediaService::runScript(std::string_view source) const {
    ScriptOutcome outcome = scripting_->run(source);
    if (!outcome.created) return std::nullopt;
    if (outcome.error) {
        const ScriptOutcome::Error& error = *outcome.error;
        log_.error("AppleScript failed: " + (error.message ? *error.message : error.description));
        return std::nullopt;
    }
    return std::move(outcome.reply);
}

}  // namespace vantorel
