#include "preview/PreviewState.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "preview/PreviewRig.h"

namespace vantorel {
namespace {

using ::testing::ElementsAre;

std::vector<std::uint32_t> ids(const PreviewState& state) {
    std::vector<std::uint32_t> out;
    for (const auto& card : state.cards())
        out.push_back(card.id);
    return out;
}

// The changes the state announced, as "kind id".
struct Recorder {
    explicit Recorder(PreviewState& state)
        : subscription(state.observe([this](const PreviewState::Change& c) {
              const char* kinds[] = {"content ", "thumbnail ", "active ", "settings "};
              seen.push_back(kinds[static_cast<int>(c.kind)] + std::to_string(c.cardID));
          })) {}
    std::vector<std::string> seen;
    PreviewState::Subscription subscription;
};

TEST(PreviewState, UpdateReplacesEveryCardAndItsImageWithTheAppNameForUntitledWindows) {
    PreviewState state;
    Recorder recorder(state);
    state.update("Safari", solidImage(16, 16), {window(7, "Apple"), window(3), window(9, "News")});
    EXPECT_TRUE(state.appIcon());
    EXPECT_THAT(ids(state), ElementsAre(7u, 3u, 9u));
    EXPECT_EQ(state.cards()[0].title + "/" + state.cards()[1].title, "Apple/Safari");
    EXPECT_EQ(state.cards()[1].window, window(3));
    EXPECT_THAT(recorder.seen, ElementsAre("content 0"));

    // The next application: old cards and their images are gone, even for a returning id.
    state.setThumbnail(solidImage(4, 4), 7);
    state.setActive(7, true);
    state.update("Notes", nullptr, {window(7)});
    EXPECT_EQ(state.appName() + "/" + state.cards().at(0).title, "Notes/Notes");
    EXPECT_FALSE(state.appIcon() || state.cards()[0].thumbnail || state.cards()[0].isActive);
    // A malformed icon counts as none.
    auto broken = std::make_shared<Image>();
    broken->width = broken->height = 10;
    state.update("Mail", broken, {});
    EXPECT_FALSE(state.appIcon());
    EXPECT_TRUE(state.cards().empty());
}

TEST(PreviewState, ChangesReachTheFirstCardWithTheIdAndNothingElseIsAChange) {
    PreviewState state;
    // Hashed ids of minimised windows may repeat.
    state.update("Finder", nullptr, {window(5, "A"), window(8, "B"), window(8, "C", true)});
    Recorder recorder(state);
    const std::uint64_t revision = state.revision();
    const ImageRef picture = solidImage(8, 5);
    state.setThumbnail(picture, 8);
    state.setThumbnail(solidImage(8, 5), 99);  // no card shows it any more
    EXPECT_EQ(state.cards()[1].thumbnail, picture);
    EXPECT_FALSE(state.cards()[2].thumbnail);
    EXPECT_GT(state.revision(), revision);
    // A buffer that does not match its size would be read past its end: it becomes no image.
    auto truncated = std::make_shared<Image>(*solidImage(100, 100));
    truncated->pixels.resize(10);
    state.setThumbnail(truncated, 8);
    EXPECT_FALSE(state.cards()[1].thumbnail);

    for (std::uint32_t id : {8u, 8u, 77u})
        state.setActive(id, true);
    EXPECT_TRUE(state.cards()[1].isActive && !state.cards()[2].isActive);
    state.removeCard(77);
    state.removeCard(8);
    EXPECT_THAT(ids(state), ElementsAre(5u));
    // Settings announce themselves only when they change.
    state.setLayout(PreviewLayout::automatic);
    state.setPreviewSize(PreviewSize::medium);
    state.setCompactThreshold(6);
    state.setLayout(PreviewLayout::grid);
    state.setPreviewSize(PreviewSize::large);
    state.setCompactThreshold(9);
    EXPECT_THAT(recorder.seen, ElementsAre("thumbnail 8", "thumbnail 8", "active 8", "content 0",
                                           "settings 0", "settings 0", "settings 0"));
}

TEST(PreviewState, TheAutomaticRowTurnsIntoTheListAboveTheThresholdAndOtherLayoutsStay) {
    struct Case {
        PreviewLayout layout;
        int threshold;
        int count;
        PreviewLayout effective;
    };
    const auto row = PreviewLayout::automatic;
    const auto list = PreviewLayout::list;
    std::vector<Case> cases = {
        {row, 6, 6, row},
        {row, 6, 7, list},
        // Zero compacts from one card; a negative threshold from a damaged setting always.
        {row, 0, 1, list},
        {row, 0, 0, row},
        {row, -3, 0, list}};
    for (PreviewLayout fixed : {PreviewLayout::grid, list, PreviewLayout::large}) {
        for (int count : {0, 1, 7, 40})
            cases.push_back({fixed, 6, count, fixed});
    }
    PreviewState state;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(toString(c.layout)) + " threshold " + std::to_string(c.threshold) +
                     " count " + std::to_string(c.count));
        state.setLayout(c.layout);
        state.setCompactThreshold(c.threshold);
        std::vector<WindowInfo> windows;
        for (int i = 0; i < c.count; ++i)
            windows.push_back(window(static_cast<std::uint32_t>(i + 1)));
        state.update("App", nullptr, windows);
        EXPECT_EQ(state.effectiveLayout(), c.effective);
    }
}

TEST(PreviewState, ObserversMayLeaveDuringANotificationAndOutliveTheState) {
    auto state = std::make_unique<PreviewState>();
    int first = 0, second = 0;
    PreviewState::Subscription other;
    PreviewState::Subscription self = state->observe([&](const PreviewState::Change&) {
        ++first;
        other.reset();  // removed before its turn: must not be called
    });
    other = state->observe([&](const PreviewState::Change&) { ++second; });
    state->update("A", nullptr, {});
    EXPECT_FALSE(other.isActive());
    // A subscription ended by moving or resetting hears nothing more.
    PreviewState::Subscription moved = std::move(self);
    state->update("B", nullptr, {});
    moved.reset();
    state->update("C", nullptr, {});
    EXPECT_EQ(std::pair(first, second), std::pair(2, 0));

    // The state may go first; the subscription then ends quietly.
    PreviewState::Subscription late = state->observe([](const PreviewState::Change&) {});
    state.reset();
    EXPECT_FALSE(late.isActive());
    late.reset();
}

TEST(PreviewState, RequestsReachTheOwnerOnlyForAWindowAShownCardStillShows) {
    // Two minimised windows whose hashed ids collide, told apart by their elements.
    WindowInfo first = window(5, "a", true);
    first.axElement = AXElement(std::make_shared<AXElementRef>());
    WindowInfo second = first;
    second.axElement = AXElement(std::make_shared<AXElementRef>());
    WindowInfo relisted = first;
    relisted.title = "renamed";
    WindowInfo restored = first;
    restored.isMinimized = false;
    const struct Case {
        const char* name;
        bool shown;
        bool secondRemoved;
        const WindowInfo& asked;
        bool acts;
    } cases[] = {
        {"a shown card's window", true, false, second, true},
        {"only the title differs", true, false, relisted, true},
        {"the panel is hidden", false, false, first, false},
        {"the window's card is gone", true, true, second, false},
        {"the card shows it minimised", true, false, restored, false},
        {"another window with the same id", true, false, window(5), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreviewState state;
        int calls = 0;
        state.onActivate = state.onClose =
            state.onMinimizeToggle = [&](const WindowInfo& w) { calls += w == c.asked; };
        state.update("Notes", nullptr, {first, second});
        if (c.secondRemoved) state.update("Notes", nullptr, {first});
        state.setShown(c.shown);
        const std::vector<bool> results = {state.requestActivate(c.asked),
                                           state.requestClose(c.asked),
                                           state.requestMinimizeToggle(c.asked)};
        EXPECT_EQ(results, std::vector<bool>(3, c.acts));
        EXPECT_EQ(calls, c.acts ? 3 : 0);
    }
}

}  // namespace
}  // namespace vantorel
