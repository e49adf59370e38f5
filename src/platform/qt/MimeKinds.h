#pragma once

#include <QHash>
#include <QMimeDatabase>
#include <QString>
#include <QStringList>

#include <mutex>
#include <string>
#include <string_view>

#include "platform/linux/FileSystemResources.h"

namespace vantorel {

// What the desktop's MIME database (shared-mime-info) says an item is, from its name and file
// type alone: the content is never read, so FIFOs, devices and slow disks cost nothing. Safe to
// use from any thread.
class MimeKinds {
public:
    // The type's description in the user's language ("folder", "PDF document"); empty when the
    // database has none.
    std::string describe(std::string_view name, FileType type);
    // The icon names to try in the icon theme, most specific first.
    QStringList iconNames(std::string_view name, FileType type);

    // The type of an item of this name and file type.
    QMimeType mimeType(std::string_view name, FileType type) const;

private:
    QMimeDatabase database_;
    std::mutex mutex_;
    // Descriptions by type name: looking one up walks the user's languages every time.
    QHash<QString, std::string> descriptions_;
};

}  // namespace vantorel
