#include "platform/linux/FileSystemResources.h"
#include "platform/linux/IcuCollation.h"
#include "platform/sim/SimUserDefaults.h"
#include "platform/sim/SimWorkspace.h"
#include "widgets/FolderService.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/qt/MimeKinds.h"
#include "platform/qt/ThemeFileIcons.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

// Real folders of `count` items in the temporary directory, made once and removed at the end:
// documents of several kinds with numbered names, and a sub-folder every fiftieth item.
class Folders {
public:
    ~Folders() {
        std::error_code ec;
        for (const auto& [count, path] : made_)
            fs::remove_all(path, ec);
    }
    const fs::path& of(int count) {
        auto it = made_.find(count);
        if (it != made_.end()) return it->second;
        const fs::path path =
            fs::temp_directory_path() / ("vantorel-entries-" + std::to_string(count));
        fs::remove_all(path);
        fs::create_directories(path);
        static const char* kinds[] = {"Report %d.pdf", "photo_%05d.jpg", "notes %d.txt",
                                      "Track %d.mp3",  "Budget %d.xlsx", "script-%d.sh"};
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, kinds[i % 6], i);
            if (i % 50 == 0) {
                fs::create_directory(path / ("Folder " + std::to_string(i)));
            } else {
                std::ofstream(path / name) << i;
            }
        }
        return made_.emplace(count, path).first->second;
    }

private:
    std::map<int, fs::path> made_;
};

Folders& folders() {
    static Folders all;
    return all;
}

// `entries` on the real file system with the real adapters: listing, resource values, the
// MIME database's descriptions, the icon theme and ICU's collation.
void BM_Entries(benchmark::State& state, FolderSort sort) {
    const fs::path& path = folders().of(static_cast<int>(state.range(0)));
    MimeKinds kinds;
    FileSystemResources files(
        [&kinds](std::string_view name, FileType type) { return kinds.describe(name, type); });
    IcuCollation collation;
    ThemeFileIcons icons(kinds);
    SimWorkspace workspace;
    workspace.setFileIcons([&icons](std::string_view file) { return icons.iconForFile(file); });
    SimUserDefaults defaults;
    const FolderService service(defaults, files, workspace, collation);
    const Url url = *Url::fromPath(path.string());
    for (auto _ : state) {
        const auto entries = service.entries(url, sort);
        benchmark::DoNotOptimize(entries.data());
        if (entries.size() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("the folder did not list whole");
        }
    }
}
BENCHMARK_CAPTURE(BM_Entries, name, FolderSort::name)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Entries, kind, FolderSort::kind)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Entries, dateModified, FolderSort::dateModified)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

double childCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The yardstick: `ls -1 -v` on the same folder, run as a process whose output is read whole.
// Its own processor time (the shell's and ls's) is the counter child_cpu_ms: on a busy machine
// that compares with the CPU column of `entries` where wall-clock times do not.
void BM_LsVersionSort(benchmark::State& state) {
    const fs::path& path = folders().of(static_cast<int>(state.range(0)));
    const std::string command = "ls -1 -v '" + path.string() + "'";
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) {
            state.SkipWithError("ls could not be started");
            break;
        }
        std::size_t lines = 0;
        char buffer[65536];
        while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
            for (std::size_t i = 0; i < read; ++i)
                lines += buffer[i] == '\n';
        }
        ::pclose(pipe);
        if (lines != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("ls did not list the folder whole");
        }
    }
    state.counters["child_cpu_ms"] = benchmark::Counter((childCpuSeconds() - cpuBefore) * 1e3 /
                                                        static_cast<double>(state.iterations()));
}
BENCHMARK(BM_LsVersionSort)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace vantorel
