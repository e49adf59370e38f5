#include "widgets/MediaPopoverView.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <string>

#include "platform/qt/Appearance.h"
#include "widgets/MediaService.h"

namespace vantorel {
namespace {

// From a player's status reply to the widget's first frame painted: the reply is read, the model
// filled and the view drawn, as after a hover or a button press. The size is the length of the
// track's title in characters (a player may report anything). Goal: within a 60 Hz frame
// (16 ms) at every size.
void BM_MediaStatusReplyToFirstFrame(benchmark::State& state) {
    std::string title;
    while (title.size() < static_cast<std::size_t>(state.range(0)))
        title += "Blue in Green ";
    title.resize(static_cast<std::size_t>(state.range(0)));
    const std::string reply = "playing\n" + title + "\nMiles Davis";
    Appearance appearance(nullptr);
    MediaState model;
    model.setAppName("Music");
    MediaPopoverView view(model, appearance);
    view.resize(view.sizeHint());
    QImage frame(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        model.setNowPlaying(std::nullopt);
        model.setNowPlaying(MediaService::parseStatus(MediaPlayer::music, reply));
        frame.fill(Qt::transparent);
        view.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    if (!model.nowPlaying() || model.nowPlaying()->title != title)
        state.SkipWithError("the reply was not read whole");
}
BENCHMARK(BM_MediaStatusReplyToFirstFrame)
    ->Arg(16)
    ->Arg(1024)
    ->Arg(65536)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
}  // namespace vantorel
