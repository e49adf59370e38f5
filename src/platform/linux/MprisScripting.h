#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "platform/Scripting.h"

namespace vantorel {

// The script runner of this desktop for the media players: it understands exactly the status
// and transport scripts the media widget sends, and answers them from the MPRIS player on the
// session bus as the player's own scripting would. Any other text fails like a script that does
// not compile. Each bus call waits at most the timeout, so a hung player holds the main thread
// for that long and no longer.
class MprisScripting final : public Scripting {
public:
    static constexpr std::string_view kBusNamePrefix = "org.mpris.MediaPlayer2.";
    static constexpr std::string_view kSpotifyBusName = "org.mpris.MediaPlayer2.spotify";
    static constexpr std::chrono::milliseconds kDefaultTimeout{250};

    // musicBusName: the player that stands for Music, as a whole bus name or the part after
    // the MPRIS prefix ("mpv"); empty for the first other player on the bus, by name.
    explicit MprisScripting(std::string musicBusName = {},
                            std::chrono::milliseconds timeout = kDefaultTimeout);

    ScriptOutcome run(std::string_view source) override;

private:
    std::string musicBusName_;
    std::chrono::milliseconds timeout_;
};

}  // namespace vantorel
