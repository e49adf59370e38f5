#include "platform/sim/SimScripting.h"

namespace vantorel {
namespace {

// The players' own copy of what they understand, kept apart from the code that sends it.
constexpr std::string_view kTellPrefix = "tell application \"";
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
constexpr std::string_view kPlayPause = "\" to playpause";
constexpr std::string_view kNextTrack = "\" to next track";
constexpr std::string_view kPreviousTrack = "\" to previous track";

}  // namespace

SimMediaPlayer* SimScripting::findPlayer(const std::string& name) {
    const auto it = players_.find(name);
    return it == players_.end() ? nullptr : &it->second;
}

ScriptOutcome SimScripting::run(std::string_view source) {
    received_.emplace_back(source);
    if (source.substr(0, kTellPrefix.size()) != kTellPrefix)
        return ScriptOutcome::failure("Expected \"tell application\" but found something else.",
                                      -2741);
    const std::string_view rest = source.substr(kTellPrefix.size());
    const auto quote = rest.find('"');
    if (quote == std::string_view::npos)
        return ScriptOutcome::failure("Expected \"\"\" but found end of script.", -2741);
    const std::string name(rest.substr(0, quote));
    const std::string_view command = rest.substr(quote);

    enum class Command { status, playPause, next, previous };
    Command kind;
    if (command == kStatusBody) {
        kind = Command::status;
    } else if (command == kPlayPause) {
        kind = Command::playPause;
    } else if (command == kNextTrack) {
        kind = Command::next;
    } else if (command == kPreviousTrack) {
        kind = Command::previous;
    } else {
        return ScriptOutcome::failure(name + " got an error: the script is not understood.", -1708);
    }

    SimMediaPlayer* player = findPlayer(name);
    if (!player)
        return ScriptOutcome::failure(name + " got an error: Application isn’t running.", -600);
    if (player->refusal)
        return ScriptOutcome::failure(player->refusal->message, player->refusal->number);

    const SimTrack* track = player->currentTrack();
    switch (kind) {
        case Command::status: {
            if (player->state != "playing" && player->state != "paused")
                return ScriptOutcome::answer(player->state);
            const std::string title = track && track->name ? *track->name : "";
            const std::string artist = track && track->artist ? *track->artist : "";
            return ScriptOutcome::answer(player->state + "\n" + title + "\n" + artist);
        }
        case Command::playPause:
            if (player->state == "playing") {
                player->state = "paused";
            } else if (track) {
                player->state = "playing";
            }
            break;
        case Command::next:
            if (track) player->current = (player->current + 1) % player->tracks.size();
            break;
        case Command::previous:
            if (track) {
                const std::size_t count = player->tracks.size();
                player->current = (player->current + count - 1) % count;
            }
            break;
    }
    // The transport commands answer nothing.
    return {};
}

}  // namespace vantorel
