#pragma once

#include <QMimeDatabase>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/linux/FileSystemResources.h"

namespace vantorel {

// What the desktop's MIME database (shared-mime-info) says an item is, from its name and file
// type alone: the content is never read, so FIFOs, devices and slow disks cost nothing. Safe to
// use from any thread.
class MimeKinds {
public:
    // What is known of one type, looked up once.
    struct Kind {
        QMimeType mime;
        // In the user's language ("folder", "PDF document"); empty when the database has none.
        std::string description;
        // To try in the icon theme, most specific first.
        QStringList iconNames;
    };

    MimeKinds();

    std::shared_ptr<const Kind> kind(std::string_view name, FileType type);
    std::string describe(std::string_view name, FileType type) {
        return kind(name, type)->description;
    }
    QStringList iconNames(std::string_view name, FileType type) {
        return kind(name, type)->iconNames;
    }
    QMimeType mimeType(std::string_view name, FileType type) { return kind(name, type)->mime; }

private:
    // A pattern that looks at more than what follows a dot ("README*", "Makefile", "*~"), with
    // the lower-case text before its first wildcard and after its last.
    struct NameGlob {
        QByteArray pattern;
        std::string prefix;
        std::string suffix;
    };

    // Kinds kept per cache, so that names all unlike each other cannot grow it without end.
    static constexpr std::size_t kCacheLimit = 4096;
    using Cache = std::unordered_map<std::string, std::shared_ptr<const Kind>>;

    bool matchesNameGlob(std::string_view name) const;
    Kind lookUp(std::string_view name, FileType type) const;

    QMimeDatabase database_;
    std::vector<NameGlob> nameGlobs_;
    std::mutex mutex_;
    // By everything from the name's first dot: every "*.ext" pattern sees no more than that.
    Cache bySuffix_;
    Cache byName_;
    Cache byInode_;
};

}  // namespace vantorel
