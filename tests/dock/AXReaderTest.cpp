#include "dock/AXReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/sim/SimAccessibility.h"

namespace vantorel {
namespace {

class AXReaderTest : public testing::Test {
protected:
    SimAccessibility ax;
    AXReader reader{ax};
    std::shared_ptr<SimAXNode> node = ax.newNode();
};

TEST_F(AXReaderTest, ValuesOfTheExpectedTypeAreRead) {
    auto child = ax.newNode();
    node->set("AXTitle", AXValue{std::string("Safari")});
    node->set("AXMinimized", AXValue{true});
    node->set("AXPosition", AXValue{Point{10, 20}});
    node->set("AXSize", AXValue{Size{30, 40}});
    node->set("AXURL", AXValue{*Url::parse("file:///Applications/Safari.app/")});
    node->set("AXCloseButton", AXValue{child->element()});
    node->setChildren({child, ax.newNode()});

    EXPECT_EQ(reader.string(node->element(), "AXTitle"), "Safari");
    EXPECT_EQ(reader.boolean(node->element(), "AXMinimized"), true);
    EXPECT_EQ(reader.point(node->element(), "AXPosition"), (Point{10, 20}));
    EXPECT_EQ(reader.size(node->element(), "AXSize"), (Size{30, 40}));
    EXPECT_EQ(reader.url(node->element(), "AXURL")->path(), "/Applications/Safari.app");
    EXPECT_EQ(reader.element(node->element(), "AXCloseButton"), child->element());
    ASSERT_TRUE(reader.elements(node->element(), "AXChildren"));
    EXPECT_EQ(reader.elements(node->element(), "AXChildren")->size(), 2u);
}

TEST_F(AXReaderTest, AValueOfAnotherTypeIsAbsent) {
    node->set("AXTitle", AXValue{42.0});
    node->set("AXPosition", AXValue{Size{1, 2}});
    node->set("AXSize", AXValue{Point{1, 2}});
    node->set("AXURL", AXValue{std::string("file:///tmp/")});
    node->set("AXMinimized", AXValue{std::string("true")});
    node->set("AXCloseButton", AXValue{std::string("button")});
    node->set("AXChildren", AXValue{AXArray{AXValue{ax.newNode()->element()}, AXValue{1.0}}});

    const auto e = node->element();
    EXPECT_FALSE(reader.string(e, "AXTitle"));
    EXPECT_FALSE(reader.point(e, "AXPosition"));
    EXPECT_FALSE(reader.size(e, "AXSize"));
    EXPECT_FALSE(reader.url(e, "AXURL"));
    EXPECT_FALSE(reader.boolean(e, "AXMinimized"));
    EXPECT_FALSE(reader.element(e, "AXCloseButton"));
    // One stray value voids the array: callers rely on every entry being an element.
    EXPECT_FALSE(reader.elements(e, "AXChildren"));
}

TEST_F(AXReaderTest, FailedCallsAndEmptySuccessesAreAbsent) {
    node->setResult("AXTitle", AXResult::failed(AXError::cannotComplete));
    node->setResult("AXRole", AXResult{AXError::success, std::nullopt});
    node->setResult("AXSubrole", AXResult{AXError::noValue, AXValue{std::string("stale")}});
    const auto e = node->element();
    EXPECT_FALSE(reader.string(e, "AXTitle"));
    EXPECT_FALSE(reader.string(e, "AXRole"));
    EXPECT_FALSE(reader.string(e, "AXSubrole"));
    EXPECT_FALSE(reader.string(e, "AXMissing"));
    EXPECT_FALSE(reader.string(AXElement(), "AXTitle"));

    node->set("AXTitle", AXValue{std::string("ok")});
    node->failAll(AXError::invalidUIElement);
    EXPECT_FALSE(reader.string(e, "AXTitle"));
    ax.setTrusted(false);
    node->failAll(std::nullopt);
    EXPECT_FALSE(reader.string(e, "AXTitle"));
}

TEST_F(AXReaderTest, NonFiniteGeometryIsAbsent) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    node->set("AXPosition", AXValue{Point{nan, 0}});
    node->set("AXSize", AXValue{Size{10, inf}});
    EXPECT_FALSE(reader.point(node->element(), "AXPosition"));
    EXPECT_FALSE(reader.size(node->element(), "AXSize"));
}

}  // namespace
}  // namespace vantorel
