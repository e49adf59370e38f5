#include "platform/linux/VdirRoot.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vantorel {
namespace {

constexpr std::uintmax_t kMaxNameBytes = 4096;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool endsWith(const std::string& text, std::string_view suffix) {
    return text.size() > suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::int64_t VdirRoot::authorization() const {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) return errno == ENOENT ? kNotDetermined : kDenied;
    if (!S_ISDIR(info.st_mode) || ::access(path_.c_str(), R_OK | X_OK) != 0) return kDenied;
    return kFullAccess;
}

bool VdirRoot::requestAccess(std::string& problem) {
    if (authorization() == kNotDetermined) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
        if (::mkdir(path_.c_str(), 0700) != 0 && errno != EEXIST) {
            problem = std::strerror(errno);
            return false;
        }
    }
    return authorization() == kFullAccess;
}

std::optional<std::vector<double>> VdirRoot::parseColor(const std::string& text) {
    const std::string color = trimmed(text);
    if ((color.size() != 7 && color.size() != 9) || color.front() != '#') return std::nullopt;
    std::vector<double> components;
    for (std::size_t i = 1; i < color.size(); i += 2) {
        unsigned value = 0;
        for (std::size_t j = i; j < i + 2; ++j) {
            const char c = color[j];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        components.push_back(value / 255.0);
    }
    if (components.size() == 3) components.push_back(1.0);
    return components;
}

std::optional<std::string> VdirRoot::readFile(const std::string& path, std::uintmax_t limit,
                                              Stamp* stamp, std::string& problem) {
    // Non-blocking, so that a FIFO in the folder cannot hold the read up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        problem = std::string("cannot be read: ") + std::strerror(errno);
        return std::nullopt;
    }
    std::optional<std::string> text;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = "not a regular file";
    } else if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        problem = "larger than " + std::to_string(limit) + " bytes";
    } else {
        std::string content(static_cast<std::size_t>(limit) + 1, '\0');
        std::size_t filled = 0;
        for (;;) {
            const ssize_t n = ::read(fd, content.data() + filled, content.size() - filled);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                problem = std::string("cannot be read: ") + std::strerror(errno);
                break;
            }
            filled += static_cast<std::size_t>(n);
            if (n == 0 || filled == content.size()) break;
        }
        if (filled > limit) {
            problem = "larger than " + std::to_string(limit) + " bytes";
        } else if (problem.empty()) {
            content.resize(filled);
            text = std::move(content);
        }
    }
    if (stamp) {
        *stamp = {
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec,
            static_cast<std::uintmax_t>(info.st_size), info.st_ino};
    }
    ::close(fd);
    return text;
}

std::vector<std::string> VdirRoot::list(const std::string& folder, bool folders) const {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    // One past the bound says that there were more.
    const std::size_t bound =
        (folders ? limits_.maxCollections : limits_.maxFilesPerCollection) + 1;
    while (names.size() < bound) {
        const dirent* entry = ::readdir(dir);
        if (!entry) break;
        const std::string name = entry->d_name;
        if (name.empty() || name.front() == '.') continue;
        if (!folders && !endsWith(name, ".ics")) continue;
        if (folders) {
            struct stat info {};
            if (::stat((folder + '/' + name).c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
                continue;
        }
        names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

std::optional<std::string> VdirRoot::smallText(const std::string& path,
                                               std::map<std::string, CachedText>& fresh,
                                               bool& changed) {
    changed = false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    const auto cached = texts_.find(path);
    std::string problem;
    Stamp stamp;
    std::optional<std::string> text = readFile(path, kMaxNameBytes, &stamp, problem);
    if (cached != texts_.end() && cached->second.stamp == stamp) {
        fresh[path] = cached->second;
        return cached->second.text;
    }
    changed = true;
    fresh[path] = {stamp, text};
    return text;
}

std::shared_ptr<const ICalendarFile> VdirRoot::item(const std::string& path,
                                                    std::map<std::string, Cached>& fresh) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return nullptr;
    const Stamp seen{
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
        static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec,
        static_cast<std::uintmax_t>(info.st_size), info.st_ino};
    if (const auto cached = items_.find(path);
        cached != items_.end() && cached->second.stamp == seen) {
        fresh[path] = cached->second;
        return cached->second.file;
    }
    std::string problem;
    Stamp stamp = seen;
    std::shared_ptr<const ICalendarFile> file;
    if (auto text = readFile(path, limits_.maxFileBytes, &stamp, problem))
        file = ICalendarFile::parse(*text, problem);
    if (!file) log_.error("Skipped calendar file " + path + ": " + problem);
    fresh[path] = {stamp, file};
    return file;
}

std::vector<VdirRoot::Collection> VdirRoot::read() {
    std::map<std::string, Cached> items;
    std::map<std::string, CachedText> texts;
    std::map<std::string, std::size_t> cut;
    std::vector<Collection> collections;
    std::vector<std::string> folders = list(path_, true);
    if (folders.size() > limits_.maxCollections) {
        folders.resize(limits_.maxCollections);
        if (!cut_.count(path_))
            log_.error("Read only the first " + std::to_string(limits_.maxCollections) +
                       " folders of " + path_);
        cut[path_] = folders.size();
    }
    for (const std::string& folder : folders) {
        Collection collection;
        collection.path = path_ + '/' + folder;
        bool changed = false;
        const std::string name =
            trimmed(smallText(collection.path + "/displayname", texts, changed).value_or(""));
        collection.displayName = name.empty() ? folder : name;
        if (const auto color = smallText(collection.path + "/color", texts, changed)) {
            collection.color = parseColor(*color);
            if (!collection.color && changed)
                log_.error("The colour of " + collection.path +
                           " is not #RRGGBB or #RRGGBBAA; it gets the default colour");
        }
        std::vector<std::string> files = list(collection.path, false);
        if (files.size() > limits_.maxFilesPerCollection) {
            files.resize(limits_.maxFilesPerCollection);
            if (!cut_.count(collection.path))
                log_.error("Read only the first " + std::to_string(limits_.maxFilesPerCollection) +
                           " files of " + collection.path);
            cut[collection.path] = files.size();
        }
        for (const std::string& file : files) {
            if (auto parsed = item(collection.path + '/' + file, items))
                collection.files.push_back(std::move(parsed));
        }
        collections.push_back(std::move(collection));
    }
    items_.swap(items);
    texts_.swap(texts);
    cut_.swap(cut);
    return collections;
}

}  // namespace vantorel
