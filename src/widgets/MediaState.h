#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/Observers.h"
#include "widgets/MediaPlayer.h"

namespace vantorel {

// The model the media widget draws: the hovered player's name and icon and the last status read
// from it, with the transport buttons' actions. Filled by the coordinator at each show and after
// each button press; kept while hidden. Main thread only.
class MediaState {
public:
    struct NowPlaying {
        MediaPlayer player = MediaPlayer::music;
        // Either may be empty.
        std::string title;
        std::string artist;
        // False when paused.
        bool isPlaying = false;

        bool operator==(const NowPlaying&) const = default;
    };

    enum class Change { app, nowPlaying };
    using Subscription = Observers<Change>::Subscription;

    MediaState() = default;
    MediaState(const MediaState&) = delete;
    MediaState& operator=(const MediaState&) = delete;

    // Run by the three buttons. Set once by the owner.
    std::function<void()> onPlayPause;
    std::function<void()> onNext;
    std::function<void()> onPrevious;

    [[nodiscard]] Subscription observe(std::function<void(const Change&)> observer) {
        return observers_.subscribe(std::move(observer));
    }

    const std::string& appName() const { return appName_; }
    const ImageRef& appIcon() const { return appIcon_; }
    // None: nothing is playing.
    const std::optional<NowPlaying>& nowPlaying() const { return nowPlaying_; }
    // Equal values tell nobody.
    void setAppName(std::string name);
    void setAppIcon(ImageRef icon);
    void setNowPlaying(std::optional<NowPlaying> nowPlaying);

private:
    std::string appName_;
    ImageRef appIcon_;
    std::optional<NowPlaying> nowPlaying_;
    Observers<Change> observers_;
};

}  // namespace vantorel
