#include "platform/linux/FileSystemResources.h"

#include <dirent.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <fstream>
#include <memory>
#include <string_view>
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

// The type the last read of this thread found, for the question that follows it.
struct RecentType {
    std::string path;
    FileType type = FileType::other;
    std::chrono::steady_clock::time_point at;
};
thread_local RecentType recent;
constexpr auto kRecent = std::chrono::milliseconds(100);

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

std::optional<ResourceValues> FileSystemResources::resourceValues(const Url& url) {
    if (!url.isFileUrl() || url.path().empty()) return std::nullopt;
    const std::string& path = url.path();
    struct stat info {};
    // A link that leads nowhere (missing target, a loop) is still an item of its folder.
    if (::stat(path.c_str(), &info) != 0 && ::lstat(path.c_str(), &info) != 0) return std::nullopt;

    ResourceValues values;
    const FileType type = typeOf(info.st_mode);
    recent.path = path;
    recent.type = type;
    recent.at = std::chrono::steady_clock::now();
    const bool directory = type == FileType::directory;
    const std::string_view name = lastComponent(path);
    const std::string_view extension = extensionOf(name);
    values.isDirectory = directory;
    values.isPackage = directory && isPackageExtension(extension);
    values.isApplication = directory && extension == ".app";
    values.contentModificationDate = WallTime(std::chrono::duration_cast<WallTime::duration>(
        std::chrono::seconds(info.st_mtim.tv_sec) +
        std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
    if (describeKind_) {
        std::string kind = describeKind_(name, type);
        if (!kind.empty()) values.localizedTypeDescription = std::move(kind);
    }
    return values;
}

FileType FileSystemResources::typeOfPath(const std::string& path) {
    if (!recent.path.empty() && recent.path == path &&
        std::chrono::steady_clock::now() - recent.at < kRecent) {
        recent.path.clear();
        return recent.type;
    }
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

}  // namespace vantorel
