#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Scripting.h"

namespace vantorel {

// One track of a simulated player's queue. A missing field is one the player cannot read, as
// for a stream without an artist.
struct SimTrack {
    std::optional<std::string> name;
    std::optional<std::string> artist;
};

// The platform refusing to let us control a player (the user said no), or any other failure.
struct SimScriptRefusal {
    // Absent: the error dictionary carries no message text.
    std::optional<std::string> message = "Not authorized to send Apple events to the player.";
    int number = -1743;
};

// A media player application of the simulated desktop, as its scripting interface shows it.
struct SimMediaPlayer {
    // "playing", "paused", "stopped", or any other state a player may report.
    std::string state = "stopped";
    std::vector<SimTrack> tracks;
    // The queue's current track; none while this is past the end of the queue.
    std::size_t current = 0;
    std::optional<SimScriptRefusal> refusal;

    const SimTrack* currentTrack() const {
        return current < tracks.size() ? &tracks[current] : nullptr;
    }
};

// The script runner of the simulated desktop, in front of its media players. The players
// understand the status script and the three transport commands, character for character;
// anything else fails as a script the runner cannot make sense of, so a changed text never
// passes unnoticed.
class SimScripting final : public Scripting {
public:
    ScriptOutcome run(std::string_view source) override;

    // Control side. A player exists under its name in scripts ("Music") while it runs.
    SimMediaPlayer& player(const std::string& name) { return players_[name]; }
    SimMediaPlayer* findPlayer(const std::string& name);
    void quitPlayer(const std::string& name) { players_.erase(name); }
    // Every source run, oldest first.
    const std::vector<std::string>& received() const { return received_; }
    void clearReceived() { received_.clear(); }

private:
    std::map<std::string, SimMediaPlayer> players_;
    std::vector<std::string> received_;
};

}  // namespace vantorel
