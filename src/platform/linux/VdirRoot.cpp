#include "platform/linux/VdirRoot.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

VdirRoot::Stamp VdirRoot::stampOf(const struct stat& info) {
    return {static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec,
            static_cast<std::uintmax_t>(info.st_size), info.st_ino};
}

std::optional<std::string> VdirRoot::readFile(const std::string& path, std::uintmax_t limit,
                                              std::string& problem) {
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
        // Room for the size it has now and one byte more, to see it grow past the limit.
        const auto most = static_cast<std::size_t>(limit) + 1;
        std::string content(std::min(static_cast<std::size_t>(info.st_size) + 1, most), '\0');
        std::size_t filled = 0;
        for (;;) {
            if (filled == content.size()) {
                if (content.size() == most) break;
                content.resize(std::min(content.size() * 2, most));
            }
            const ssize_t n = ::read(fd, content.data() + filled, content.size() - filled);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                problem = std::string("cannot be read: ") + std::strerror(errno);
                break;
            }
            if (n == 0) break;
            filled += static_cast<std::size_t>(n);
        }
        if (filled > limit) {
            problem = "larger than " + std::to_string(limit) + " bytes";
        } else if (problem.empty()) {
            content.resize(filled);
            text = std::move(content);
        }
    }
    ::close(fd);
    return text;
}

VdirRoot::Listing VdirRoot::list(const std::string& folder, bool folders, std::size_t bound) {
    Listing listing;
    std::vector<Entry>& entries = listing.entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return listing;
    while (entries.size() <= bound) {
        const dirent* found = ::readdir(dir);
        if (!found) break;
        Entry entry{found->d_name, {}, false};
        if (entry.name.empty() || entry.name.front() == '.') continue;
        if (found->d_type == DT_LNK || found->d_type == DT_UNKNOWN) listing.hasLinks = true;
        if (!folders && !endsWith(entry.name, ".ics")) continue;
        // Through links, as the files they stand for.
        struct stat info {};
        if (::fstatat(::dirfd(dir), found->d_name, &info, 0) != 0) continue;
        entry.isFolder = S_ISDIR(info.st_mode);
        if (entry.isFolder != folders) continue;
        entry.stamp = stampOf(info);
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return listing;
}

std::optional<VdirRoot::CachedText> VdirRoot::smallText(const std::string& path,
                                                        std::optional<CachedText> cached,
                                                        bool& changed) {
    changed = false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    if (cached && cached->stamp == stampOf(info)) return cached;
    changed = true;
    std::string problem;
    return CachedText{stampOf(info), readFile(path, kMaxNameBytes, problem)};
}

bool VdirRoot::cutShort(std::vector<Entry>& entries, std::size_t bound, bool wasCut,
                        const char* what, const std::string& folder) const {
    if (entries.size() <= bound) return false;
    entries.resize(bound);
    if (!wasCut)
        log_.error("Read only the first " + std::to_string(bound) + ' ' + what + " of " + folder);
    return true;
}

void VdirRoot::Folder::gatherFiles() {
    files.clear();
    for (const auto& [name, item] : items)
        if (item.file) files.push_back(item.file);
}

void VdirRoot::describe(const Folder& folder, Collection& collection) {
    const std::string name =
        folder.displayName ? trimmed(folder.displayName->text.value_or("")) : std::string();
    if (!name.empty()) collection.displayName = name;
    if (folder.color && folder.color->text) collection.color = parseColor(*folder.color->text);
    collection.files = folder.files;
}

VdirRoot::Folder VdirRoot::readFolder(const std::string& path, Folder old) {
    Folder folder;
    bool changed = false;
    folder.displayName = smallText(path + "/displayname", std::move(old.displayName), changed);
    folder.color = smallText(path + "/color", std::move(old.color), changed);
    if (changed && folder.color && folder.color->text && !parseColor(*folder.color->text))
        log_.error("The colour of " + path +
                   " is not #RRGGBB or #RRGGBBAA; it gets the default colour");

    // Watched before it is listed: a change made while it is read shows at the next read.
    const bool watched = watch_.watch(path);
    Listing listing = list(path, false, limits_.maxFilesPerCollection);
    std::vector<Entry>& files = listing.entries;
    folder.cut = cutShort(files, limits_.maxFilesPerCollection, old.cut, "files", path);
    for (Entry& entry : files) {
        // Unchanged files move over as they are; the others are read and parsed again.
        auto node = old.items.extract(entry.name);
        if (node.empty() || !(node.mapped().stamp == entry.stamp)) {
            folder.items[std::move(entry.name)] = load(path + '/' + entry.name, entry.stamp);
        } else {
            folder.items.insert(std::move(node));
        }
    }
    folder.gatherFiles();
    if (watched && !listing.hasLinks) watch_.settle(path);
    return folder;
}

VdirRoot::Cached VdirRoot::load(const std::string& file, Stamp stamp) const {
    std::string problem;
    std::shared_ptr<const ICalendarFile> parsed;
    if (auto text = readFile(file, limits_.maxFileBytes, problem))
        parsed = ICalendarFile::parse(*text, problem);
    if (!parsed) log_.error("Skipped calendar file " + file + ": " + problem);
    return {stamp, std::move(parsed)};
}

bool VdirRoot::update(const std::string& path, const std::set<std::string>& names,
                      Folder& folder) const {
    for (const std::string& name : names) {
        if (name == "displayname" || name == "color") return false;
        if (name.front() == '.' || !endsWith(name, ".ics")) continue;
        const std::string file = path + '/' + name;
        struct stat info {};
        if (::lstat(file.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
            folder.items.erase(name);
            continue;
        }
        // What a link stands for may change elsewhere: such a folder is read whole each time.
        if (S_ISLNK(info.st_mode)) return false;
        const auto known = folder.items.find(name);
        if (known != folder.items.end() && known->second.stamp == stampOf(info)) continue;
        folder.items[name] = load(file, stampOf(info));
    }
    if (folder.items.size() > limits_.maxFilesPerCollection) return false;
    folder.gatherFiles();
    return true;
}

std::vector<VdirRoot::Collection> VdirRoot::read() {
    watch_.collect();
    std::vector<Entry> folders = list(path_, true, limits_.maxCollections).entries;
    cut_ = cutShort(folders, limits_.maxCollections, cut_, "folders", path_);
    std::unordered_map<std::string, Folder> kept;
    std::vector<Collection> collections;
    for (const Entry& entry : folders) {
        Collection collection;
        collection.path = path_ + '/' + entry.name;
        collection.displayName = entry.name;
        auto old = folders_.extract(collection.path);
        Folder folder;
        // The same folder (not another one put in its place) whose changes the watch names.
        const std::set<std::string>* changes =
            old.empty() || old.mapped().inode != entry.stamp.inode
                ? nullptr
                : watch_.changes(collection.path);
        if (changes && (changes->empty() || update(collection.path, *changes, old.mapped()))) {
            folder = std::move(old.mapped());
            watch_.settle(collection.path);
        } else {
            folder = readFolder(collection.path, old.empty() ? Folder() : std::move(old.mapped()));
            folder.inode = entry.stamp.inode;
        }
        describe(folder, collection);
        kept.emplace(collection.path, std::move(folder));
        collections.push_back(std::move(collection));
    }
    folders_.swap(kept);
    return collections;
}

}  // namespace vantorel
