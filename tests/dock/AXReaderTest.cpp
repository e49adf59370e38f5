#include "dock/AXReader.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/sim/SimAccessibility.h"

namespace vantorel {
namespace {

// Values of the expected type are read by every user of the reader; what they would not notice
// is a value of another kind, a non-finite geometry, or a failed call, passing for one.
TEST(AXReaderTest, AnythingButAFiniteValueOfTheExpectedTypeIsAbsent) {
    SimAccessibility ax;
    const AXReader reader{ax};
    const auto node = ax.newNode();
    const auto e = node->element();
    node->set("AXTitle", AXValue{42.0});
    node->set("AXPosition", AXValue{Size{1, 2}});
    node->set("AXSize", AXValue{Point{1, 2}});
    node->set("AXURL", AXValue{std::string("file:///tmp/")});
    node->set("AXMinimized", AXValue{std::string("true")});
    node->set("AXCloseButton", AXValue{std::string("button")});
    node->set("AXChildren", AXValue{AXArray{AXValue{ax.newNode()->element()}, AXValue{1.0}}});
    node->set("AXNaNPosition", AXValue{Point{std::numeric_limits<double>::quiet_NaN(), 0}});
    node->set("AXInfiniteSize", AXValue{Size{10, std::numeric_limits<double>::infinity()}});
    EXPECT_FALSE(reader.string(e, "AXTitle"));
    EXPECT_FALSE(reader.point(e, "AXPosition"));
    EXPECT_FALSE(reader.size(e, "AXSize"));
    EXPECT_FALSE(reader.url(e, "AXURL"));
    EXPECT_FALSE(reader.boolean(e, "AXMinimized"));
    EXPECT_FALSE(reader.element(e, "AXCloseButton"));
    // One stray value voids the array: callers rely on every entry being an element.
    EXPECT_FALSE(reader.elements(e, "AXChildren"));
    EXPECT_FALSE(reader.point(e, "AXNaNPosition"));
    EXPECT_FALSE(reader.size(e, "AXInfiniteSize"));

    node->setResult("AXTitle", AXResult::failed(AXError::cannotComplete));
    node->setResult("AXRole", AXResult{AXError::success, std::nullopt});
    node->setResult("AXSubrole", AXResult{AXError::noValue, AXValue{std::string("stale")}});
    for (const char* attribute : {"AXTitle", "AXRole", "AXSubrole", "AXMissing"})
        EXPECT_FALSE(reader.string(e, attribute)) << attribute;
    EXPECT_FALSE(reader.string(AXElement(), "AXTitle"));
    node->set("AXTitle", AXValue{std::string("ok")});
    node->failAll(AXError::invalidUIElement);
    EXPECT_FALSE(reader.string(e, "AXTitle"));
    ax.setTrusted(false);
    node->failAll(std::nullopt);
    EXPECT_FALSE(reader.string(e, "AXTitle"));
}

}  // namespace
}  // namespace vantorel
