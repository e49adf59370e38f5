#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Logger.h"
#include "platform/linux/FolderWatch.h"
#include "platform/linux/ICalendarFile.h"

namespace vantorel {

// One root of vdir collections, as CalDAV synchronisers (vdirsyncer) and command-line calendars
// (khal, todoman) keep them: a folder per calendar or task list holding one .ics file per item,
// with `displayname` and `color` files beside them. Each read lists the folders afresh and
// parses only the files whose stamp changed since the last read; in a folder the kernel watches
// for it, only the files it names as changed are looked at again. One thread at a time.
class VdirRoot {
public:
    struct Limits {
        std::uintmax_t maxFileBytes = 1 << 20;
        std::size_t maxFilesPerCollection = 5000;
        std::size_t maxCollections = 256;
    };
    struct Collection {
        std::string path;
        std::string displayName;
        // The `color` file's "#RRGGBB" or "#RRGGBBAA" as components; none when missing or
        // malformed.
        std::optional<std::vector<double>> color;
        std::vector<std::shared_ptr<const ICalendarFile>> files;
    };

    // The platform's raw authorisation values.
    static constexpr std::int64_t kNotDetermined = 0;
    static constexpr std::int64_t kDenied = 2;
    static constexpr std::int64_t kFullAccess = 3;

    VdirRoot(std::string path, Limits limits, Logger& logger)
        : path_(std::move(path)), limits_(limits), log_(logger, "app") {}

    const std::string& path() const { return path_; }
    // Granted when the folder can be read, denied when it exists and cannot, not determined when
    // it does not exist.
    std::int64_t authorization() const;
    // Makes the folder (owner only) when it does not exist; granted when it can then be read.
    // The reason when it could not be made.
    bool requestAccess(std::string& problem);
    std::vector<Collection> read();

    // "#RRGGBB" or "#RRGGBBAA", surrounding white space allowed; none for anything else.
    static std::optional<std::vector<double>> parseColor(const std::string& text);

private:
    struct Stamp {
        std::int64_t modified = 0;
        std::int64_t changed = 0;
        std::uintmax_t size = 0;
        std::uintmax_t inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Cached {
        Stamp stamp;
        // None: the file was skipped (and said so when it was read).
        std::shared_ptr<const ICalendarFile> file;
    };
    struct CachedText {
        Stamp stamp;
        std::optional<std::string> text;
    };
    // What was read of one collection, by file name.
    struct Folder {
        std::map<std::string, Cached> items;
        std::optional<CachedText> displayName;
        std::optional<CachedText> color;
        // Said to have more files than are read.
        bool cut = false;
        // Of the folder itself when it was last read: another one put in its place is read whole.
        std::uintmax_t inode = 0;
        // What was parsed, in the order of the names.
        std::vector<std::shared_ptr<const ICalendarFile>> files;

        void gatherFiles();
    };
    struct Entry {
        std::string name;
        Stamp stamp;
        bool isFolder = false;
    };
    struct Listing {
        std::vector<Entry> entries;
        // Some entry is a link (or of a type not told): what it stands for may change elsewhere.
        bool hasLinks = false;
    };

    static Stamp stampOf(const struct stat& info);
    // The file's content, or none with the reason; refuses what is not a regular file and what
    // is larger than `limit`.
    static std::optional<std::string> readFile(const std::string& path, std::uintmax_t limit,
                                               std::string& problem);
    // The folder's entries not starting with a dot — its folders, or its .ics files and what
    // stands in their place — in the file system's order, one more than `bound` at most.
    static Listing list(const std::string& folder, bool folders, std::size_t bound);
    // The small file's text, read again only when it changed (`changed` then set).
    static std::optional<CachedText> smallText(const std::string& path,
                                               std::optional<CachedText> cached, bool& changed);
    // Cuts the entries down to the bound; says so unless the folder was cut short last time too.
    bool cutShort(std::vector<Entry>& entries, std::size_t bound, bool wasCut, const char* what,
                  const std::string& folder) const;
    Folder readFolder(const std::string& path, Folder old);
    // The file read and parsed, or skipped and said so.
    Cached load(const std::string& file, Stamp stamp) const;
    // Reads again only the files of these names; false when the folder must be read whole.
    bool update(const std::string& path, const std::set<std::string>& names, Folder& folder) const;
    // The collection of a folder as read.
    static void describe(const Folder& folder, Collection& collection);

    std::string path_;
    Limits limits_;
    Log log_;
    std::unordered_map<std::string, Folder> folders_;
    FolderWatch watch_;
    bool cut_ = false;
};

}  // namespace vantorel
