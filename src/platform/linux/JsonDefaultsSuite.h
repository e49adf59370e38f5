#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/Logger.h"
#include "platform/Scheduler.h"
#include "platform/UserDefaults.h"

namespace vantorel {

// A defaults domain kept in one JSON file. JSON keeps booleans, integers (no fraction or
// exponent), doubles (always written with a fraction or an exponent, 180.0 as "180.0"), strings,
// arrays and objects apart, so every value reads back with the type it was stored with.
//
// The file is read once, at construction, opened without blocking and only when it is a regular
// file of at most kMaximumFileSize bytes. One whose content cannot be read as settings (not JSON,
// not an object, nested too deep, too large, a directory or a device in its place) is renamed
// aside with a timestamp and the domain starts empty; if it cannot be moved aside, nothing is
// saved this session rather than overwrite it. A file that cannot be opened (no permission) or
// that we may not write is left where it is: changes are kept in memory only. Keys and values a
// newer version wrote that this one cannot represent (null, integers beyond 64 bits, numbers
// beyond a double) read as absent and are written back exactly as they were.
//
// Changes are saved on the next turn of the main loop, so that a burst of writes (every
// preference is persisted on every change) costs one file write. A save replaces the file
// atomically: a temporary file in the same directory, flushed and synced, renamed over the old
// one. A failed save leaves the old file as it was, is logged, and is retried with the next
// change.
class JsonDefaultsSuite final : public DefaultsSuite {
public:
    // An empty path keeps the domain in memory only (no place for the file could be found).
    JsonDefaultsSuite(std::filesystem::path file, Scheduler& scheduler, Logger& logger);
    // Saves changes not yet written.
    ~JsonDefaultsSuite() override;
    JsonDefaultsSuite(const JsonDefaultsSuite&) = delete;
    JsonDefaultsSuite& operator=(const JsonDefaultsSuite&) = delete;

    std::optional<DefaultsValue> object(std::string_view key) const override;
    // JSON has no NaN or infinity and holds only UTF-8 text: such a value is refused, logged,
    // and the previous value kept.
    void setObject(std::string_view key, DefaultsValue value) override;
    void removeObject(std::string_view key) override;
    // Every key the domain holds, those whose values read as absent included.
    std::vector<std::string> keys() const;

    // Writes pending changes now. True when the file holds every change.
    bool flush();

    const std::filesystem::path& path() const { return file_; }
    // False when changes can only be kept in memory.
    bool isPersistent() const { return persistent_; }
    bool hasUnsavedChanges() const { return dirty_; }
    // Suffix for a file set aside at the given local time: ".corrupt-20261206T201500".
    static std::string asideSuffix(std::time_t time);
    // A settings file is a few hundred bytes; anything past this is not one.
    static constexpr std::size_t kMaximumFileSize = 1 << 20;

private:
    void load();
    void setAside(const std::string& problem);
    void keepInMemory(const std::string& why);
    void markDirty();
    bool save(const std::string& text);
    std::optional<DefaultsValue> fromJson(const nlohmann::json& value, int depth) const;
    // Swaps number tokens no store type can hold for marker strings, and back when writing.
    std::string shieldNumbers(std::string_view text);
    std::string restoreNumbers(std::string text) const;

    std::filesystem::path file_;
    Scheduler& scheduler_;
    Log log_;
    nlohmann::json document_ = nlohmann::json::object();
    TaskHandle pendingSave_;
    bool persistent_ = true;
    bool dirty_ = false;
    bool reportedNotPersistent_ = false;
    // Marker strings stand for rawNumbers_[index]; the prefix holds a random part no file has.
    std::string numberMarker_;
    std::vector<std::string> rawNumbers_;
};

}  // namespace vantorel
