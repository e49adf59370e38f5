#include "widgets/MediaPopoverView.h"

#include <QAccessible>

#include <gtest/gtest.h>

#include "platform/qt/Appearance.h"
#include "platform/qt/RoundSymbolButton.h"

namespace vantorel {
namespace {

using NowPlaying = MediaState::NowPlaying;

TEST(MediaPopoverViewTest, WhatPlaysNamesTheLinesTheButtonsAndTheWidgetAndTheButtonsAct) {
    const struct {
        std::optional<NowPlaying> nowPlaying;
        const char* title;
        const char* subtitle;
        const char* playPause;  // symbol and label; null: no buttons
        const char* label;
    } cases[] = {
        {NowPlaying{MediaPlayer::music, "So What", "Miles Davis", true}, "So What", "Miles Davis",
         "pause.fill Pause", "Playing: So What by Miles Davis"},
        {NowPlaying{MediaPlayer::spotify, "", "", false}, "Not playing", "Music", "play.fill Play",
         "Paused:  by "},
        {NowPlaying{MediaPlayer::music, "Intro", "", false}, "Intro", "Music", "play.fill Play",
         "Paused: Intro by "},
        {std::nullopt, "Not playing", "Music", nullptr, "Nothing playing in Music"},
    };
    Appearance appearance(nullptr);
    MediaState state;
    state.setAppName("Music");
    MediaPopoverView view(state, appearance);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        state.setNowPlaying(c.nowPlaying);
        EXPECT_EQ(view.titleText(), c.title);
        EXPECT_EQ(view.subtitleText(), c.subtitle);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Name), c.label);
        RoundSymbolButton* playPause = view.playPauseButton();
        ASSERT_EQ(playPause != nullptr, c.playPause != nullptr);
        if (!playPause) continue;
        EXPECT_EQ(playPause->symbol() + " " + playPause->accessibleName(), c.playPause);
        EXPECT_EQ(view.previousButton()->accessibleName() + view.nextButton()->accessibleName(),
                  "Previous trackNext track");
    }

    // The buttons read their callbacks at each press: the owner sets them after the view.
    state.setNowPlaying(cases[0].nowPlaying);
    std::string pressed;
    state.onPrevious = [&] { pressed += "previous "; };
    state.onPlayPause = [&] { pressed += "play/pause "; };
    state.onNext = [&] { pressed += "next"; };
    for (RoundSymbolButton* button :
         {view.previousButton(), view.playPauseButton(), view.nextButton()})
        button->click();
    EXPECT_EQ(pressed, "previous play/pause next");
}

}  // namespace
}  // namespace vantorel
