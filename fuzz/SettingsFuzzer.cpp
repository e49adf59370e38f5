// The settings file's bytes through the real store, the preferences and a save: nothing fails
// hard, the saved file reads back as settings, and every key and value survives the round.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "app/Preferences.h"
#include "platform/linux/JsonDefaultsSuite.h"
#include "platform/sim/ManualScheduler.h"
#include "platform/sim/MemoryLogger.h"

namespace {

namespace fs = std::filesystem;
using namespace vantorel;

using Snapshot = std::map<std::string, std::optional<DefaultsValue>>;

Snapshot snapshot(const JsonDefaultsSuite& store) {
    Snapshot out;
    for (const auto& key : store.keys())
        out[key] = store.object(key);
    return out;
}

// Saves go through fsync: a memory-backed folder keeps that cheap.
fs::path scratch() {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    return base / ("vantorel-settings-fuzz-" + std::to_string(::getpid()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path directory = scratch();
    const fs::path file = directory / "settings.json";
    fs::remove_all(directory);
    fs::create_directories(directory);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    ManualScheduler scheduler;
    MemoryLogger logger;
    Snapshot saved;
    {
        JsonDefaultsSuite store(file, scheduler, logger);
        Preferences preferences(store, logger);
        preferences.setCompactThreshold(static_cast<std::int64_t>(size));
        preferences.setPreviewLayout(static_cast<PreviewLayout>(size % 4));
        if (!store.flush()) return 0;  // a file that could not be set aside stays untouched
        saved = snapshot(store);
    }
    MemoryLogger again;
    JsonDefaultsSuite reopened(file, scheduler, again);
    if (!again.lines().empty()) __builtin_trap();  // what we wrote must read as settings
    if (snapshot(reopened) != saved) __builtin_trap();
    return 0;
}
