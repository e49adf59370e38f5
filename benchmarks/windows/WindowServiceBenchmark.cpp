#include <benchmark/benchmark.h>

#include <string>

#include "dock/AXReader.h"
#include "platform/sim/SimDesktop.h"
#include "windows/WindowService.h"

namespace vantorel {
namespace {

// Debug lines are off in normal use; the service must not pay for building them.
class QuietLogger final : public Logger {
public:
    bool isEnabled(LogLevel level) const override { return level != LogLevel::debug; }
    void write(const LogRecord&) override {}
};

// Takes every line and throws it away: the cost of building the lines, without storing them.
class DiscardingLogger final : public Logger {
public:
    bool isEnabled(LogLevel) const override { return true; }
    void write(const LogRecord& record) override { benchmark::DoNotOptimize(record.message); }
};

// A busy desktop: applications with standard windows, each with one minimised window, one
// palette and one window on another space among them, so that every path of the pairing runs.
struct BusyDesktop {
    BusyDesktop(int applications, int windowsPerApplication) {
        for (int a = 0; a < applications; ++a) {
            const std::string name = "App " + std::to_string(a);
            const auto pid = desktop.launch(
                SimAppSpec{name, "com.example.app" + std::to_string(a), std::nullopt, 0, nullptr});
            if (a == 0) first = pid;
            for (int w = 0; w < windowsPerApplication; ++w) {
                SimWindowSpec spec;
                spec.title = name + " — document " + std::to_string(w);
                // Cascaded, so that centres of one application's windows are 30 points apart and
                // several entries lie within reach of each window.
                spec.frame = Rect(40 + 30.0 * (w % 25), 60 + 30.0 * (w % 25), 900, 600);
                spec.minimized = w == 1;
                spec.onScreen = w != 2;
                if (w == 3) {
                    spec.subrole = "AXFloatingWindow";
                    spec.layer = 3;
                }
                desktop.addWindow(pid, spec);
            }
        }
    }

    PlatformPorts ports(Logger& logger) {
        return PlatformPorts{desktop.accessibility,
                             desktop.workspace,
                             desktop.screens,
                             desktop.pointer,
                             desktop.defaults,
                             desktop.files,
                             desktop.scheduler,
                             logger,
                             desktop.windowServer,
                             desktop.keyEvents,
                             desktop.permissionServices,
                             desktop.capture};
    }

    SimDesktop desktop;
    ProcessId first = 0;
};

void BM_AllWindows_40Apps400Windows(benchmark::State& state) {
    BusyDesktop busy(40, 10);
    QuietLogger logger;
    const WindowService service(busy.ports(logger));
    busy.desktop.workspace.setFrontmost(busy.first + 20);
    for (auto _ : state) {
        auto windows = service.allWindows();
        benchmark::DoNotOptimize(windows.data());
    }
    state.counters["windows"] = static_cast<double>(service.allWindows().size());
}
BENCHMARK(BM_AllWindows_40Apps400Windows)->Unit(benchmark::kMicrosecond);

// The platform's share of allWindows on the simulated desktop: the same port calls, answered and
// copied, with nothing done with the answers. allWindows minus this is the core's share.
void BM_AllWindows_PortCallsOnly(benchmark::State& state) {
    BusyDesktop busy(40, 10);
    auto& desktop = busy.desktop;
    const AXReader reader(desktop.accessibility);
    for (auto _ : state) {
        auto apps = desktop.workspace.runningApplications();
        auto front = desktop.workspace.frontmostApplication();
        auto list = desktop.windowServer.copyWindowInfo(17, 0);
        benchmark::DoNotOptimize(front);
        benchmark::DoNotOptimize(list);
        for (const auto& app : apps) {
            const auto windows = reader.elements(
                desktop.accessibility.createApplication(app.processIdentifier), "AXWindows");
            if (!windows) continue;
            for (const auto& element : *windows) {
                auto subrole = reader.string(element, "AXSubrole");
                benchmark::DoNotOptimize(subrole);
                if (subrole != "AXStandardWindow") continue;
                auto minimized = reader.boolean(element, "AXMinimized");
                auto position = reader.point(element, "AXPosition");
                auto size = reader.size(element, "AXSize");
                auto title = reader.string(element, "AXTitle");
                benchmark::DoNotOptimize(minimized);
                benchmark::DoNotOptimize(position);
                benchmark::DoNotOptimize(size);
                benchmark::DoNotOptimize(title);
                if (minimized == true) desktop.accessibility.hash(element);
            }
        }
    }
}
BENCHMARK(BM_AllWindows_PortCallsOnly)->Unit(benchmark::kMicrosecond);

void BM_WindowsFor_OneAppWith50Windows(benchmark::State& state) {
    BusyDesktop busy(1, 50);
    QuietLogger logger;
    const WindowService service(busy.ports(logger));
    const auto app = *busy.desktop.workspace.application(busy.first);
    for (auto _ : state) {
        auto windows = service.windows(app);
        benchmark::DoNotOptimize(windows.data());
    }
    state.counters["windows"] = static_cast<double>(service.windows(app).size());
}
BENCHMARK(BM_WindowsFor_OneAppWith50Windows)->Unit(benchmark::kMicrosecond);

// The same with debug lines on: one summary line and one line per window are built.
void BM_WindowsFor_OneAppWith50Windows_DebugLog(benchmark::State& state) {
    BusyDesktop busy(1, 50);
    DiscardingLogger logger;
    const WindowService service(busy.ports(logger));
    const auto app = *busy.desktop.workspace.application(busy.first);
    for (auto _ : state) {
        auto windows = service.windows(app);
        benchmark::DoNotOptimize(windows.data());
    }
}
BENCHMARK(BM_WindowsFor_OneAppWith50Windows_DebugLog)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantorel
