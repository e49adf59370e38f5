#include "preview/PreviewState.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "preview/PreviewSelection.h"

namespace vantorel {
namespace {

using ::testing::ElementsAre;

WindowInfo window(std::uint32_t id, std::string title, bool minimized = false) {
    WindowInfo info;
    info.id = id;
    info.cgWindowID = id;
    info.title = std::move(title);
    info.isMinimized = minimized;
    info.ownerPID = 42;
    return info;
}

ImageRef image(int width, int height) {
    auto pixels = std::make_shared<Image>();
    pixels->width = width;
    pixels->height = height;
    pixels->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                          0xff336699u);
    return pixels;
}

std::vector<std::uint32_t> ids(const PreviewState& state) {
    std::vector<std::uint32_t> out;
    for (const auto& card : state.cards())
        out.push_back(card.id);
    return out;
}

struct Recorder {
    explicit Recorder(PreviewState& state)
        : subscription(
              state.observe([this](const PreviewState::Change& c) { seen.push_back(c); })) {}
    std::vector<PreviewState::Change> seen;
    PreviewState::Subscription subscription;
};

TEST(PreviewState, UpdateReplacesEveryCardInWindowOrderWithTheAppNameForUntitledWindows) {
    PreviewState state;
    Recorder recorder(state);
    state.update("Safari", image(16, 16), {window(7, "Apple"), window(3, ""), window(9, "News")});

    EXPECT_EQ(state.appName(), "Safari");
    ASSERT_TRUE(state.appIcon());
    EXPECT_THAT(ids(state), ElementsAre(7u, 3u, 9u));
    EXPECT_EQ(state.cards()[0].title, "Apple");
    EXPECT_EQ(state.cards()[1].title, "Safari");
    EXPECT_EQ(state.cards()[1].window, window(3, ""));
    for (const auto& card : state.cards()) {
        EXPECT_FALSE(card.thumbnail);
        EXPECT_FALSE(card.isActive);
    }
    ASSERT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(recorder.seen[0].kind, PreviewState::Change::Kind::content);

    // The next application's windows: old cards and their images are gone, even for a window
    // id that happens to come back.
    state.setThumbnail(image(4, 4), 7);
    state.setActive(7, true);
    state.update("Notes", nullptr, {window(7, "")});
    EXPECT_EQ(state.appName(), "Notes");
    EXPECT_FALSE(state.appIcon());
    ASSERT_EQ(state.cards().size(), 1u);
    EXPECT_EQ(state.cards()[0].title, "Notes");
    EXPECT_FALSE(state.cards()[0].thumbnail);
    EXPECT_FALSE(state.cards()[0].isActive);

    // A malformed icon counts as none; no windows leaves no cards.
    auto broken = std::make_shared<Image>();
    broken->width = 10;
    broken->height = 10;
    state.update("Mail", broken, {});
    EXPECT_FALSE(state.appIcon());
    EXPECT_TRUE(state.cards().empty());
}

TEST(PreviewState, ThumbnailsLandInTheFirstCardWithTheirIdAndLateOnesAreDropped) {
    PreviewState state;
    // Hashed ids of minimised windows may repeat.
    state.update("Finder", nullptr, {window(5, "A"), window(8, "B"), window(8, "C", true)});
    Recorder recorder(state);
    const std::uint64_t revision = state.revision();

    const ImageRef picture = image(8, 5);
    state.setThumbnail(picture, 8);
    EXPECT_EQ(state.cards()[1].thumbnail, picture);
    EXPECT_FALSE(state.cards()[2].thumbnail);
    ASSERT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(recorder.seen[0].kind, PreviewState::Change::Kind::thumbnail);
    EXPECT_EQ(recorder.seen[0].cardID, 8u);
    EXPECT_GT(state.revision(), revision);

    // An image for a window no card shows any more changes nothing and tells nobody.
    state.setThumbnail(image(8, 5), 99);
    EXPECT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(state.cards()[1].thumbnail, picture);

    // A buffer that does not match its size would be read past its end: it becomes no image.
    auto truncated = std::make_shared<Image>();
    truncated->width = 100;
    truncated->height = 100;
    truncated->pixels.resize(10);
    state.setThumbnail(truncated, 8);
    EXPECT_FALSE(state.cards()[1].thumbnail);

    state.setThumbnail(picture, 5);
    state.setThumbnail(nullptr, 5);
    EXPECT_FALSE(state.cards()[0].thumbnail);
}

TEST(PreviewState, RemoveCardDropsEveryCardWithTheIdAndIgnoresUnknownIds) {
    PreviewState state;
    state.update("Finder", nullptr,
                 {window(5, "A"), window(8, "B"), window(6, "C"), window(8, "D")});
    Recorder recorder(state);

    state.removeCard(77);
    EXPECT_THAT(ids(state), ElementsAre(5u, 8u, 6u, 8u));
    EXPECT_TRUE(recorder.seen.empty());

    state.removeCard(8);
    EXPECT_THAT(ids(state), ElementsAre(5u, 6u));
    ASSERT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(recorder.seen[0].kind, PreviewState::Change::Kind::content);

    // Active flags follow the card and a repeated value is no change.
    state.setActive(6, true);
    state.setActive(6, true);
    state.setActive(77, true);
    EXPECT_TRUE(state.cards()[1].isActive);
    EXPECT_EQ(recorder.seen.size(), 2u);
}

TEST(PreviewState, EffectiveLayoutTurnsTheRowIntoTheListAboveTheThreshold) {
    PreviewState state;
    state.setCompactThreshold(6);
    const auto fill = [&](int count) {
        std::vector<WindowInfo> windows;
        for (int i = 0; i < count; ++i)
            windows.push_back(window(static_cast<std::uint32_t>(i + 1), "W"));
        state.update("App", nullptr, windows);
    };

    fill(6);
    EXPECT_EQ(state.effectiveLayout(), PreviewLayout::automatic);
    fill(7);
    EXPECT_EQ(state.effectiveLayout(), PreviewLayout::list);
    fill(0);
    EXPECT_EQ(state.effectiveLayout(), PreviewLayout::automatic);

    // A chosen layout stays whatever the count.
    for (PreviewLayout fixed : {PreviewLayout::grid, PreviewLayout::list, PreviewLayout::large}) {
        state.setLayout(fixed);
        for (int count : {0, 1, 7, 40}) {
            fill(count);
            EXPECT_EQ(state.effectiveLayout(), fixed) << toString(fixed) << " " << count;
        }
    }

    // A negative threshold from a damaged setting always compacts; zero compacts from one card.
    state.setLayout(PreviewLayout::automatic);
    state.setCompactThreshold(-3);
    fill(0);
    EXPECT_EQ(state.effectiveLayout(), PreviewLayout::list);
    fill(1);
    EXPECT_EQ(state.effectiveLayout(), PreviewLayout::list);
    state.setCompactThreshold(0);
    EXPECT_EQ(state.effectiveLayout(), PreviewLayout::list);
    fill(0);
    EXPECT_EQ(state.effectiveLayout(), PreviewLayout::automatic);
}

TEST(PreviewState, SettingsNotifyOnlyWhenTheyChange) {
    PreviewState state;
    Recorder recorder(state);
    state.setLayout(PreviewLayout::automatic);
    state.setPreviewSize(PreviewSize::medium);
    state.setCompactThreshold(6);
    EXPECT_TRUE(recorder.seen.empty());

    state.setLayout(PreviewLayout::grid);
    state.setPreviewSize(PreviewSize::large);
    state.setCompactThreshold(9);
    ASSERT_EQ(recorder.seen.size(), 3u);
    for (const auto& change : recorder.seen)
        EXPECT_EQ(change.kind, PreviewState::Change::Kind::settings);
}

TEST(PreviewState, ObserversMayLeaveDuringANotificationAndOutliveTheState) {
    auto state = std::make_unique<PreviewState>();
    int first = 0;
    int second = 0;
    PreviewState::Subscription other;
    PreviewState::Subscription self = state->observe([&](const PreviewState::Change&) {
        ++first;
        other.reset();  // removed before its turn: must not be called
    });
    other = state->observe([&](const PreviewState::Change&) { ++second; });

    state->update("A", nullptr, {});
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_FALSE(other.isActive());

    // A subscription ended by moving or resetting hears nothing more.
    PreviewState::Subscription moved = std::move(self);
    state->update("B", nullptr, {});
    EXPECT_EQ(first, 2);
    moved.reset();
    state->update("C", nullptr, {});
    EXPECT_EQ(first, 2);

    // The state may go first; the subscription then ends quietly.
    PreviewState::Subscription late = state->observe([](const PreviewState::Change&) {});
    EXPECT_TRUE(late.isActive());
    state.reset();
    EXPECT_FALSE(late.isActive());
    late.reset();
}

TEST(PreviewSelection, TheNamedCardElseTheFirstAndNothingWithoutCards) {
    PreviewState state;
    EXPECT_FALSE(selectedCardIndex(state.cards(), 4u));
    EXPECT_FALSE(correctedSelection(state.cards(), 4u));
    EXPECT_FALSE(correctedSelection(state.cards(), std::nullopt));

    state.update("App", nullptr, {window(3, "a"), window(4, "b"), window(5, "c")});
    EXPECT_EQ(selectedCardIndex(state.cards(), std::nullopt), 0u);
    EXPECT_EQ(selectedCardIndex(state.cards(), 5u), 2u);
    EXPECT_EQ(selectedCardIndex(state.cards(), 99u), 0u);
    EXPECT_EQ(correctedSelection(state.cards(), std::nullopt), 3u);
    EXPECT_EQ(correctedSelection(state.cards(), 4u), 4u);

    // The selected window's card is removed: the first card becomes the selection.
    state.removeCard(4);
    EXPECT_EQ(correctedSelection(state.cards(), 4u), 3u);
    EXPECT_EQ(selectedCardIndex(state.cards(), 4u), 0u);
}

}  // namespace
}  // namespace vantorel
