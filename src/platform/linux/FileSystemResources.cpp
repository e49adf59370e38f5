#include "platform/linux/FileSystemResources.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_set>

namespace vantorel {
namespace {

FileType typeOf(mode_t mode) {
    if (S_ISREG(mode)) return FileType::regular;
    if (S_ISDIR(mode)) return FileType::directory;
    if (S_ISLNK(mode)) return FileType::symlink;
    if (S_ISFIFO(mode)) return FileType::fifo;
    if (S_ISSOCK(mode)) return FileType::socket;
    if (S_ISCHR(mode)) return FileType::characterDevice;
    if (S_ISBLK(mode)) return FileType::blockDevice;
    return FileType::other;
}

bool isPackageExtension(std::string_view extension) {
    static constexpr std::array<std::string_view, 7> kPackageExtensions = {
        ".app", ".bundle", ".framework", ".plugin", ".kext", ".pkg", ".rtfd"};
    for (auto ext : kPackageExtensions) {
        if (extension == ext) return true;
    }
    return false;
}

std::string_view lastComponent(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view extensionOf(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot);
}

// The types the last read or listing of this thread found, in order, for the questions about
// the same items that follow it (a listing asks for each item's icon).
struct RecentTypes {
    std::string prefix;
    std::string names;
    std::vector<std::size_t> ends;
    std::vector<FileType> types;
    std::size_t next = 0;
    std::chrono::steady_clock::time_point at;

    void start(std::string_view folderPrefix) {
        prefix = folderPrefix;
        names.clear();
        ends.clear();
        types.clear();
        next = 0;
    }
    void add(std::string_view name, FileType type) {
        names += name;
        ends.push_back(names.size());
        types.push_back(type);
    }
    std::string_view nameAt(std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(names).substr(begin, ends[i] - begin);
    }
    std::optional<FileType> take(std::string_view path) {
        if (next >= types.size() || std::chrono::steady_clock::now() - at >= kRecent) return {};
        const std::string_view name = nameAt(next);
        if (path.size() != prefix.size() + name.size() || !path.starts_with(prefix) ||
            !path.ends_with(name)) {
            next = types.size();
            return {};
        }
        at = std::chrono::steady_clock::now();
        return types[next++];
    }

    // Since the read or the previous answer: long enough for a loaded machine, short enough
    // that a later question about a changed item asks afresh.
    static constexpr auto kRecent = std::chrono::seconds(1);
};
thread_local RecentTypes recent;
// Questions to the file system cost microseconds each: from this many on, a second thread
// asks half of them.
constexpr std::size_t kParallelFrom = 2048;

WallTime wallTime(std::int64_t seconds, std::uint32_t nanoseconds) {
    return WallTime(std::chrono::duration_cast<WallTime::duration>(
        std::chrono::seconds(seconds) + std::chrono::nanoseconds(nanoseconds)));
}

// What a directory entry's type says, where it says enough: a link must be followed.
std::optional<FileType> typeOfEntry(unsigned char type) {
    if (type == DT_UNKNOWN || type == DT_LNK) return std::nullopt;
    return typeOf(DTTOIF(type));
}

// The type and date of a folder's item, following links; a link that leads nowhere (missing
// target, a loop) is still an item of its folder, described as itself.
bool statItem(int folder, const char* name, FileType& type, WallTime& modified) {
    struct statx info {};
    constexpr unsigned kMask = STATX_TYPE | STATX_MTIME;
    if (::statx(folder, name, 0, kMask, &info) != 0 &&
        ::statx(folder, name, AT_SYMLINK_NOFOLLOW, kMask, &info) != 0) {
        return false;
    }
    type = typeOf(info.stx_mode);
    modified = wallTime(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
    return true;
}

// The names a folder's ".hidden" file hides, one per line.
std::unordered_set<std::string> hiddenNames(const std::string& folder) {
    std::unordered_set<std::string> names;
    std::ifstream file(folder + "/.hidden");
    for (std::string line; std::getline(file, line);) {
        if (!line.empty()) names.insert(line);
    }
    return names;
}

}  // namespace

ResourceValues FileSystemResources::valuesOf(std::string_view name, FileType type,
                                             std::optional<WallTime> modified) const {
    ResourceValues values;
    const bool directory = type == FileType::directory;
    const std::string_view extension = extensionOf(name);
    values.isDirectory = directory;
    values.isPackage = directory && isPackageExtension(extension);
    values.isApplication = directory && extension == ".app";
    values.contentModificationDate = modified;
    if (describeKind_) {
        std::string kind = describeKind_(name, type);
        if (!kind.empty()) values.localizedTypeDescription = std::move(kind);
    }
    return values;
}

std::optional<ResourceValues> FileSystemResources::resourceValues(const Url& url) {
    if (!url.isFileUrl() || url.path().empty()) return std::nullopt;
    const std::string& path = url.path();
    FileType type = FileType::other;
    WallTime modified;
    if (!statItem(AT_FDCWD, path.c_str(), type, modified)) return std::nullopt;
    const std::string_view name = lastComponent(path);
    recent.start(std::string_view(path).substr(0, path.size() - name.size()));
    recent.add(name, type);
    recent.at = std::chrono::steady_clock::now();
    return valuesOf(name, type, modified);
}

FileType FileSystemResources::typeOfPath(const std::string& path) {
    if (const auto type = recent.take(path)) return *type;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return FileType::symlink;
    return typeOf(info.st_mode);
}

std::optional<std::vector<Url>> FileSystemResources::contentsOfDirectory(const Url& folder,
                                                                         bool skipsHiddenFiles) {
    if (!folder.isFileUrl() || folder.path().empty()) return std::nullopt;
    const std::string& path = folder.path();
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), &::closedir);
    if (!dir) return std::nullopt;

    const std::unordered_set<std::string> hidden =
        skipsHiddenFiles ? hiddenNames(path) : std::unordered_set<std::string>();
    const std::string prefix = path == "/" ? path : path + "/";
    std::vector<Url> children;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (skipsHiddenFiles && (name.front() == '.' || hidden.contains(std::string(name))))
            continue;
        if (auto url = Url::fromPath(prefix + std::string(name)))
            children.push_back(std::move(*url));
    }
    return children;
}

std::optional<std::vector<ListedItem>> FileSystemResources::contentsOfDirectoryWithValues(
    const Url& folder, bool skipsHiddenFiles, bool readsModificationDates) {
    if (!folder.isFileUrl() || folder.path().empty()) return std::nullopt;
    const std::string& path = folder.path();
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), &::closedir);
    if (!dir) return std::nullopt;
    const int fd = ::dirfd(dir.get());
    // The items of a folder that may be listed but not searched cannot be read: only asking
    // each of them says so.
    const bool searchable = ::faccessat(fd, ".", X_OK, AT_EACCESS) == 0;

    const std::unordered_set<std::string> hidden =
        skipsHiddenFiles ? hiddenNames(path) : std::unordered_set<std::string>();
    const std::string prefix = path == "/" ? path : path + "/";
    recent.start(prefix);
    // Where the entry alone does not tell the type.
    std::vector<char> untyped;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (skipsHiddenFiles && (name.front() == '.' || hidden.contains(std::string(name))))
            continue;
        const auto type = typeOfEntry(entry->d_type);
        recent.add(name, type.value_or(FileType::other));
        untyped.push_back(!searchable || !type);
    }

    // One question to the file system per item at most, and none where the listing already
    // told the type and no date is wanted.
    const std::size_t count = recent.types.size();
    std::vector<std::optional<WallTime>> dates(count);
    std::vector<char> readable(count, 1);
    // The other thread has a `recent` of its own.
    RecentTypes& listed = recent;
    auto ask = [&](std::size_t from, std::size_t to) {
        std::string name;
        for (std::size_t i = from; i < to; ++i) {
            if (!untyped[i] && !readsModificationDates) continue;
            name.assign(listed.nameAt(i));
            WallTime date;
            if (statItem(fd, name.c_str(), listed.types[i], date)) {
                dates[i] = date;
            } else {
                listed.types[i] = FileType::symlink;
                readable[i] = 0;
            }
        }
    };
    const auto asked =
        readsModificationDates
            ? count
            : static_cast<std::size_t>(std::count(untyped.begin(), untyped.end(), 1));
    if (asked >= kParallelFrom && std::thread::hardware_concurrency() > 1) {
        std::thread other(ask, count / 2, count);
        ask(0, count / 2);
        other.join();
    } else {
        ask(0, count);
    }

    std::vector<ListedItem> items;
    items.reserve(count);
    std::string itemPath;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view name = recent.nameAt(i);
        itemPath.assign(prefix).append(name);
        auto url = Url::fromPath(itemPath);
        if (!url) continue;
        if (!readable[i]) {
            items.push_back({std::move(*url), std::nullopt});
        } else {
            items.push_back({std::move(*url), valuesOf(name, recent.types[i], dates[i])});
        }
    }
    recent.at = std::chrono::steady_clock::now();
    return items;
}

}  // namespace vantorel
