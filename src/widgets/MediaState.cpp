#include "widgets/MediaState.h"

namespace vantorel {

void MediaState::setAppName(std::string name) {
    if (name == appName_) return;
    appName_ = std::move(name);
    observers_.notify(Change::app);
}

void MediaState::setAppIcon(ImageRef icon) {
    if (icon == appIcon_) return;
    appIcon_ = std::move(icon);
    observers_.notify(Change::app);
}

void MediaState::setNowPlaying(std::optional<NowPlaying> nowPlaying) {
    if (nowPlaying == nowPlaying_) return;
    nowPlaying_ = std::move(nowPlaying);
    observers_.notify(Change::nowPlaying);
}

}  // namespace vantorel
