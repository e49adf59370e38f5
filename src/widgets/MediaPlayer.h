#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vantorel {

// The media players the widget knows, in catalogue order. The raw value is the application's
// bundle identifier; the script name is how scripts address it.
enum class MediaPlayer { music, spotify };

inline constexpr std::array<MediaPlayer, 2> kAllMediaPlayers = {MediaPlayer::music,
                                                                MediaPlayer::spotify};

constexpr std::string_view rawValue(MediaPlayer player) {
    return player == MediaPlayer::music ? "com.apple.Music" : "com.spotify.client";
}

constexpr std::string_view scriptName(MediaPlayer player) {
    return player == MediaPlayer::music ? "Music" : "Spotify";
}

// None for any other bundle identifier.
constexpr std::optional<MediaPlayer> mediaPlayerFromRawValue(std::string_view raw) {
    for (const MediaPlayer player : kAllMediaPlayers) {
        if (rawValue(player) == raw) return player;
    }
    return std::nullopt;
}

}  // namespace vantorel
