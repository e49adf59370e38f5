#include "platform/linux/FanOutLogger.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/linux/StreamLogger.h"
#include "platform/sim/MemoryLogger.h"

namespace vantorel {
namespace {

TEST(FanOutLogger, EachTargetGetsTheLinesItsOwnLevelLetThrough) {
    std::ostringstream stderrText;
    StreamLogger stream(stderrText, LogLevel::info);
    MemoryLogger memory;
    memory.setMinimum(LogLevel::debug);
    FanOutLogger fan({&stream, nullptr, &memory});
    fan.add(&fan);  // itself would loop forever: ignored

    Log log(fan, "dock");
    EXPECT_TRUE(log.debugEnabled());
    log.debug("Hover → Safari");
    log.info("DockObserver started with 3 tiles");
    log.error("Dock AXList not found");

    EXPECT_EQ(stderrText.str(),
              "app.vantorel.Vantorel [dock] info: DockObserver started with 3 tiles\n"
              "app.vantorel.Vantorel [dock] error: Dock AXList not found\n");
    EXPECT_EQ(memory.messages("dock"),
              (std::vector<std::string>{"Hover → Safari", "DockObserver started with 3 tiles",
                                        "Dock AXList not found"}));

    // With no target wanting debug lines, callers are told not to build them.
    memory.setMinimum(LogLevel::info);
    EXPECT_FALSE(log.debugEnabled());
    EXPECT_FALSE(FanOutLogger().isEnabled(LogLevel::error));
}

}  // namespace
}  // namespace vantorel
