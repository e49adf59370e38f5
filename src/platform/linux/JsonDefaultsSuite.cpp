#include "platform/linux/JsonDefaultsSuite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <system_error>
#include <utility>

#include "platform/JsonDepthLimit.h"

namespace vantorel {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

std::string quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}
std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}
std::string errnoText(int error) {
    return std::strerror(error);
}

json toJson(const DefaultsValue& value) {
    return std::visit(
        [](const auto& v) -> json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, DefaultsArray>) {
                json array = json::array();
                for (const auto& element : v)
                    array.push_back(toJson(element));
                return array;
            } else if constexpr (std::is_same_v<T, DefaultsDictionary>) {
                json object = json::object();
                for (const auto& [key, element] : v)
                    object[key] = toJson(element);
                return object;
            } else {
                return json(v);
            }
        },
        value.data);
}

bool hasNonFiniteNumber(const DefaultsValue& value) {
    if (const auto* number = value.as<double>()) return !std::isfinite(*number);
    if (const auto* array = value.as<DefaultsArray>()) {
        for (const auto& element : *array) {
            if (hasNonFiniteNumber(element)) return true;
        }
    }
    if (const auto* dictionary = value.as<DefaultsDictionary>()) {
        for (const auto& [key, element] : *dictionary) {
            if (hasNonFiniteNumber(element)) return true;
        }
    }
    return false;
}

// Writes all of text, retrying interrupted and partial writes. Returns 0 or an errno value.
int writeAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

// Reads the open settings file into text; empty, or why its content is not settings.
std::string readSettings(int fd, std::string& text) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return "could not be read (" + errnoText(errno) + ")";
    if (S_ISDIR(info.st_mode)) return "could not be read (" + errnoText(EISDIR) + ")";
    // A FIFO would block or never end, a device could feed bytes without end.
    if (!S_ISREG(info.st_mode)) return "is not a regular file";
    const std::string tooLarge =
        "is larger than " + std::to_string(JsonDefaultsSuite::kMaximumFileSize) + " bytes";
    if (static_cast<std::size_t>(info.st_size) > JsonDefaultsSuite::kMaximumFileSize) {
        return tooLarge;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return "could not be read (" + errnoText(errno) + ")";
        }
        if (got == 0) return {};
        text.append(buffer, static_cast<std::size_t>(got));
        // It may grow while we read.
        if (text.size() > JsonDefaultsSuite::kMaximumFileSize) return tooLarge;
    }
}

// Exactly the JSON number grammar: -?(0|[1-9]d*)(.d+)?([eE][+-]?d+)?
bool isJsonNumber(std::string_view token) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < token.size() && token[i] >= '0' && token[i] <= '9')
            ++i;
        return i > start;
    };
    if (i < token.size() && token[i] == '-') ++i;
    if (i < token.size() && token[i] == '0') {
        ++i;
    } else if (!digits()) {
        return false;
    }
    if (i < token.size() && token[i] == '.') {
        ++i;
        if (!digits()) return false;
    }
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
        if (!digits()) return false;
    }
    return i == token.size();
}

// Whether a valid number token fits a 64-bit integer (either sign) or a double.
bool fitsTheStore(std::string_view token) {
    const char* first = token.data();
    const char* last = first + token.size();
    if (token.find_first_of(".eE") == std::string_view::npos) {
        std::int64_t signedValue = 0;
        if (std::from_chars(first, last, signedValue).ec == std::errc()) return true;
        std::uint64_t unsignedValue = 0;
        return std::from_chars(first, last, unsignedValue).ec == std::errc();
    }
    double value = 0;
    return std::from_chars(first, last, value).ec == std::errc();
}

}  // namespace

std::optional<DefaultsValue> JsonDefaultsSuite::fromJson(const json& value, int depth) const {
    if (depth > kMaximumJsonDepth) return std::nullopt;
    switch (value.type()) {
        case json::value_t::boolean:
            return DefaultsValue(value.get<bool>());
        case json::value_t::number_integer:
            return DefaultsValue(value.get<std::int64_t>());
        case json::value_t::number_unsigned: {
            const auto number = value.get<std::uint64_t>();
            if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                return std::nullopt;
            }
            return DefaultsValue(static_cast<std::int64_t>(number));
        }
        case json::value_t::number_float:
            return DefaultsValue(value.get<double>());
        case json::value_t::string: {
            const auto& text = value.get_ref<const std::string&>();
            if (!numberMarker_.empty() && text.starts_with(numberMarker_)) return std::nullopt;
            return DefaultsValue(text);
        }
        case json::value_t::array: {
            DefaultsArray array;
            array.reserve(value.size());
            for (const auto& element : value) {
                auto converted = fromJson(element, depth + 1);
                if (!converted) return std::nullopt;
                array.push_back(std::move(*converted));
            }
            return DefaultsValue(std::move(array));
        }
        case json::value_t::object: {
            DefaultsDictionary dictionary;
            for (const auto& [key, element] : value.items()) {
                auto converted = fromJson(element, depth + 1);
                if (!converted) return std::nullopt;
                dictionary.emplace(key, std::move(*converted));
            }
            return DefaultsValue(std::move(dictionary));
        }
        default:
            return std::nullopt;  // null, binary, discarded
    }
}

std::string JsonDefaultsSuite::shieldNumbers(std::string_view text) {
    const auto inNumber = [](char c) {
        return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
    };
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = i + 1;
        if (text[i] == '"') {
            while (end < text.size() && text[end] != '"')
                end += text[end] == '\\' ? 2 : 1;
            end = std::min(end + 1, text.size());
        } else if (text[i] == '-' || (text[i] >= '0' && text[i] <= '9')) {
            while (end < text.size() && inNumber(text[end]))
                ++end;
            const std::string_view token = text.substr(i, end - i);
            if (isJsonNumber(token) && !fitsTheStore(token)) {
                if (numberMarker_.empty()) {
                    // Made up as the file is read, so no string written into it can pass for one.
                    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
                    numberMarker_ = "\x01number-" + std::to_string(ticks) + "-" +
                                    std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-";
                }
                out += json(numberMarker_ + std::to_string(rawNumbers_.size())).dump();
                rawNumbers_.emplace_back(token);
                i = end;
                continue;
            }
        }
        out.append(text.substr(i, end - i));
        i = end;
    }
    return out;
}

std::string JsonDefaultsSuite::restoreNumbers(std::string text) const {
    if (rawNumbers_.empty()) return text;
    const std::string dumpedMarker = json(numberMarker_).dump();
    const std::string prefix = dumpedMarker.substr(0, dumpedMarker.size() - 1);
    std::string out;
    std::size_t from = 0;
    for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix, from)) {
        std::size_t index = 0;
        const char* digits = text.data() + at + prefix.size();
        const auto [end, ec] = std::from_chars(digits, text.data() + text.size(), index);
        out.append(text, from, at - from);
        if (ec == std::errc() && *end == '"' && index < rawNumbers_.size()) {
            out += rawNumbers_[index];
            from = static_cast<std::size_t>(end - text.data()) + 1;
        } else {
            out += prefix;
            from = at + prefix.size();
        }
    }
    out.append(text, from);
    return out;
}

JsonDefaultsSuite::JsonDefaultsSuite(fs::path file, Scheduler& scheduler, Logger& logger)
    : file_(std::move(file)), scheduler_(scheduler), log_(logger, "app") {
    load();
}

JsonDefaultsSuite::~JsonDefaultsSuite() {
    pendingSave_.cancel();
    if (dirty_ && persistent_) flush();
}

std::string JsonDefaultsSuite::asideSuffix(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &local);
    return std::string(".corrupt-") + stamp;
}

void JsonDefaultsSuite::load() {
    if (file_.empty()) {
        persistent_ = false;
        log_.error("No place for the settings file was found; settings will not be saved");
        return;
    }
    const int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        // No file there (first run), or a path that cannot hold one: a save will say why.
        if (error == ENOENT || error == ENOTDIR) return;
        // The file may be fine, only out of reach: it is not ours to move or replace.
        persistent_ = false;
        log_.error("Settings file " + quoted(file_) + " could not be opened (" + errnoText(error) +
                   "); using the default settings and leaving it as it is");
        return;
    }
    std::string text;
    const std::string problem = readSettings(fd, text);
    ::close(fd);
    if (!problem.empty()) {
        setAside(problem);
        return;
    }
    std::string error;
    auto parsed = parseJsonWithinDepth(shieldNumbers(text), error);
    if (!parsed) {
        setAside("is not valid JSON (" + error + ")");
        return;
    }
    if (!parsed->is_object()) {
        setAside("does not hold a JSON object");
        return;
    }
    document_ = std::move(*parsed);
}

void JsonDefaultsSuite::setAside(const std::string& problem) {
    const std::string base = file_.string() + asideSuffix(std::time(nullptr));
    fs::path aside = base;
    // Never replace an earlier aside file: it is the user's data too.
    std::error_code ec;
    for (int n = 2; n < 1000; ++n) {
        const auto type = fs::symlink_status(aside, ec).type();
        if (type == fs::file_type::not_found || ec) break;  // an unusable name fails below
        aside = base + "-" + std::to_string(n);
    }
    if (::rename(file_.c_str(), aside.c_str()) != 0) {
        const int error = errno;
        persistent_ = false;
        log_.error("Settings file " + quoted(file_) + " " + problem +
                   " and could not be moved aside (" + errnoText(error) +
                   "); using the default settings without saving them");
        return;
    }
    log_.error("Settings file " + quoted(file_) + " " + problem + "; moved it to " + quoted(aside) +
               " and using the default settings");
}

std::optional<DefaultsValue> JsonDefaultsSuite::object(std::string_view key) const {
    const auto it = document_.find(std::string(key));
    if (it == document_.end()) return std::nullopt;
    return fromJson(*it, 0);
}

void JsonDefaultsSuite::setObject(std::string_view key, DefaultsValue value) {
    if (hasNonFiniteNumber(value)) {
        log_.error("Refused to store " + quoted(key) +
                   ": the settings file cannot hold NaN or infinite numbers; kept the previous "
                   "value");
        return;
    }
    json converted = toJson(value);
    try {
        // Only text that is not UTF-8 can make serialising fail; find out now, not at save time.
        json probe = json::object();
        probe[std::string(key)] = converted;
        (void)probe.dump();
    } catch (const json::exception&) {
        log_.error("Refused to store " + quoted(key) +
                   ": its text is not valid UTF-8; kept the previous value");
        return;
    }
    const std::string name(key);
    const auto it = document_.find(name);
    // Compare as typed values: JSON equality would take 6 and 6.0 for the same value.
    if (it != document_.end() && fromJson(*it, 0) == value) return;
    document_[name] = std::move(converted);
    markDirty();
}

std::vector<std::string> JsonDefaultsSuite::keys() const {
    std::vector<std::string> out;
    for (const auto& item : document_.items())
        out.push_back(item.key());
    return out;
}

void JsonDefaultsSuite::removeObject(std::string_view key) {
    if (document_.erase(std::string(key)) > 0) markDirty();
}

void JsonDefaultsSuite::keepInMemory(const std::string& why) {
    persistent_ = false;
    if (reportedNotPersistent_) return;
    reportedNotPersistent_ = true;
    log_.error(why.empty() ? "Settings changes are kept in memory only this session"
                           : why + "; settings changes are kept in memory only this session");
}

void JsonDefaultsSuite::markDirty() {
    dirty_ = true;
    if (!persistent_) {
        keepInMemory("");
        return;
    }
    if (!pendingSave_.isPending()) {
        pendingSave_ = scheduler_.schedule(Duration::zero(), [this] { flush(); });
    }
}

bool JsonDefaultsSuite::flush() {
    pendingSave_.cancel();
    if (!dirty_) return true;
    if (!persistent_) return false;
    std::string text;
    try {
        text = restoreNumbers(document_.dump(4)) + "\n";
    } catch (const json::exception& e) {
        log_.error("Could not save settings to " + quoted(file_) + ": " + e.what());
        return false;
    }
    if (!save(text)) return false;
    dirty_ = false;
    return true;
}

bool JsonDefaultsSuite::save(const std::string& text) {
    // Replace the file a symbolic link points to, not the link: settings kept in a dotfiles
    // repository stay linked.
    fs::path target = file_;
    std::error_code ec;
    if (fs::is_symlink(file_, ec)) {
        const fs::path resolved = fs::weakly_canonical(file_, ec);
        if (!ec) target = resolved;
    }
    const fs::path directory = target.parent_path();
    const fs::path temporary = target.string() + ".tmp";

    const auto fail = [&](const std::string& step, int error, bool removeTemporary) {
        if (removeTemporary) ::unlink(temporary.c_str());
        log_.error("Could not save settings to " + quoted(file_) + ": " + step + " failed (" +
                   errnoText(error) + "); the previous file is unchanged");
        return false;
    };

    // The rename would replace a file we may not write; its owner made it read-only.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM || error == EROFS) {
            keepInMemory("Settings file " + quoted(file_) + " cannot be written (" +
                         errnoText(error) + ")");
            return false;
        }
    }
    if (!directory.empty()) {
        fs::create_directories(directory, ec);
        if (ec) return fail("creating " + quoted(directory), ec.value(), false);
    }

    // A temporary file left by a crash is only an unfinished save.
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT) {
        const int error = errno;
        return fail("removing the old " + quoted(temporary), error, false);
    }
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        return fail("creating " + quoted(temporary), error, false);
    }

    struct stat previous {};
    if (::stat(target.c_str(), &previous) == 0) ::fchmod(fd, previous.st_mode & 07777);

    if (const int error = writeAll(fd, text); error != 0) {
        ::close(fd);
        return fail("writing", error, true);
    }
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return fail("syncing", error, true);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        return fail("closing", error, true);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        return fail("replacing the file", error, true);
    }
    // Make the rename itself durable; the data is already safe either way, so no error here.
    const int directoryFd =
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        ::fsync(directoryFd);
        ::close(directoryFd);
    }
    return true;
}

}  // namespace vantorel
