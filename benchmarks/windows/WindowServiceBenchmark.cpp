#include <benchmark/benchmark.h>

#include <string>

#include "platform/sim/SimDesktop.h"
#include "windows/PreparedPorts.h"
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
        desktop.workspace.setFrontmost(first + applications / 2);
    }

    PlatformPorts ports(Logger& logger) {
        return with(desktop.accessibility, desktop.workspace, desktop.windowServer, logger);
    }
    PlatformPorts with(Accessibility& ax, Workspace& workspace, WindowServer& server,
                       Logger& logger) {
        return PlatformPorts{ax,
                             workspace,
                             desktop.screens,
                             desktop.pointer,
                             desktop.defaults,
                             desktop.files,
                             desktop.collation,
                             desktop.scheduler,
                             logger,
                             server,
                             desktop.keyEvents,
                             desktop.permissionServices,
                             desktop.capture,
                             desktop.scripting,
                             desktop.eventStore,
                             desktop.userCalendar};
    }

    SimDesktop desktop;
    ProcessId first = 0;
};

// Sizes are windows in all; allWindows spreads them over applications of ten.
BusyDesktop forAllWindows(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    return BusyDesktop(std::max(1, windows / 10), std::min(windows, 10));
}

// The core's share: the service on ports that answer from a prepared table at no cost.
template <typename Call>
void coreShare(benchmark::State& state, BusyDesktop& busy, Call call) {
    QuietLogger logger;
    PreparedPorts prepared(busy.desktop.accessibility, busy.desktop.workspace,
                           busy.desktop.windowServer);
    const WindowService service(busy.with(prepared, prepared, prepared, logger));
    const std::size_t found = call(service).size();
    prepared.finishRecording();
    for (auto _ : state) {
        state.PauseTiming();
        prepared.rewind();
        state.ResumeTiming();
        auto windows = call(service);
        benchmark::DoNotOptimize(windows.data());
    }
    if (prepared.misses() != 0) state.SkipWithError("a call was not in the prepared table");
    state.counters["found"] = static_cast<double>(found);
    state.SetComplexityN(state.range(0));
}

void BM_WindowsFor_CoreShare(benchmark::State& state) {
    BusyDesktop busy(1, static_cast<int>(state.range(0)));
    const auto app = *busy.desktop.workspace.application(busy.first);
    coreShare(state, busy, [&](const WindowService& s) { return s.windows(app); });
}
BENCHMARK(BM_WindowsFor_CoreShare)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

void BM_AllWindows_CoreShare(benchmark::State& state) {
    BusyDesktop busy = forAllWindows(state);
    coreShare(state, busy, [](const WindowService& s) { return s.allWindows(); });
}
BENCHMARK(BM_AllWindows_CoreShare)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

// The whole call on the simulated desktop, platform included, for scale.
void BM_WindowsFor_SimulatedDesktop(benchmark::State& state) {
    BusyDesktop busy(1, static_cast<int>(state.range(0)));
    QuietLogger logger;
    const WindowService service(busy.ports(logger));
    const auto app = *busy.desktop.workspace.application(busy.first);
    for (auto _ : state) {
        auto windows = service.windows(app);
        benchmark::DoNotOptimize(windows.data());
    }
}
BENCHMARK(BM_WindowsFor_SimulatedDesktop)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);

void BM_AllWindows_SimulatedDesktop(benchmark::State& state) {
    BusyDesktop busy = forAllWindows(state);
    QuietLogger logger;
    const WindowService service(busy.ports(logger));
    for (auto _ : state) {
        auto windows = service.allWindows();
        benchmark::DoNotOptimize(windows.data());
    }
}
BENCHMARK(BM_AllWindows_SimulatedDesktop)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);

// With debug lines on: one summary line and one line per window are built.
void BM_WindowsFor_SimulatedDesktop_DebugLog(benchmark::State& state) {
    BusyDesktop busy(1, static_cast<int>(state.range(0)));
    DiscardingLogger logger;
    const WindowService service(busy.ports(logger));
    const auto app = *busy.desktop.workspace.application(busy.first);
    for (auto _ : state) {
        auto windows = service.windows(app);
        benchmark::DoNotOptimize(windows.data());
    }
}
BENCHMARK(BM_WindowsFor_SimulatedDesktop_DebugLog)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantorel
