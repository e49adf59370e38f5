#include "platform/qt/MimeKinds.h"

#include <QFile>
#include <QStandardPaths>

#include <fnmatch.h>

#include <algorithm>
#include <cctype>

namespace vantorel {
namespace {

const char* inodeType(FileType type) {
    switch (type) {
        case FileType::directory:
            return "inode/directory";
        case FileType::symlink:
            return "inode/symlink";
        case FileType::fifo:
            return "inode/fifo";
        case FileType::socket:
            return "inode/socket";
        case FileType::characterDevice:
            return "inode/chardevice";
        case FileType::blockDevice:
            return "inode/blockdevice";
        case FileType::regular:
        case FileType::other:
            break;
    }
    return nullptr;
}

std::string asciiLower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace

MimeKinds::MimeKinds() {
    // The patterns as the database's own source lists them; asking each type for its patterns
    // would parse every type's description (300 ms and 8 MB). Only a database without these
    // files (Qt's built-in copy) is asked type by type.
    QStringList patterns;
    const QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                        QStringLiteral("mime/globs2"));
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
        while (!file.atEnd()) {
            // weight:type:pattern[:flags]
            const QList<QByteArray> fields = file.readLine().trimmed().split(':');
            if (fields.size() >= 3 && !fields[0].startsWith('#'))
                patterns << QString::fromUtf8(fields[2]);
        }
    }
    if (files.isEmpty()) {
        for (const QMimeType& mime : database_.allMimeTypes())
            patterns << mime.globPatterns();
    }
    for (const QString& glob : patterns) {
        if (glob.startsWith(QLatin1String("*."))) continue;
        // Matched without regard to case, as the database does unless a type says otherwise:
        // a pattern matched too often only costs a lookup.
        const QByteArray pattern = glob.toLower().toUtf8();
        const std::string_view text(pattern.constData(), static_cast<std::size_t>(pattern.size()));
        const auto first = text.find_first_of("*?[");
        const auto last = text.find_last_of("*?]");
        nameGlobs_.push_back({pattern, std::string(text.substr(0, first)),
                              std::string(last == std::string_view::npos ? std::string_view()
                                                                         : text.substr(last + 1))});
    }
}

bool MimeKinds::matchesNameGlob(std::string_view name) const {
    const std::string lower = asciiLower(name);
    for (const NameGlob& glob : nameGlobs_) {
        // fnmatch converts every name to wide characters: most are turned away before that.
        if (!lower.starts_with(glob.prefix) || !lower.ends_with(glob.suffix)) continue;
        if (::fnmatch(glob.pattern.constData(), lower.c_str(), 0) == 0) return true;
    }
    return false;
}

MimeKinds::Kind MimeKinds::lookUp(std::string_view name, FileType type) const {
    Kind kind;
    if (const char* inode = inodeType(type)) {
        kind.mime = database_.mimeTypeForName(QString::fromLatin1(inode));
    } else {
        // Bytes that are not text in the user's encoding still leave the extension readable.
        const QString decoded =
            QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
        kind.mime = database_.mimeTypeForFile(decoded, QMimeDatabase::MatchExtension);
    }
    if (kind.mime.isValid()) {
        kind.description = kind.mime.comment().toStdString();
        kind.iconNames << kind.mime.iconName() << kind.mime.genericIconName();
    }
    kind.iconNames << (type == FileType::directory ? QStringLiteral("folder")
                                                   : QStringLiteral("text-x-generic"));
    return kind;
}

std::shared_ptr<const MimeKinds::Kind> MimeKinds::kind(std::string_view name, FileType type) {
    const std::lock_guard lock(mutex_);
    Cache* cache = &bySuffix_;
    std::string key;
    if (const char* inode = inodeType(type)) {
        cache = &byInode_;
        key = inode;
    } else if (matchesNameGlob(name)) {
        cache = &byName_;
        key = name;
    } else if (const auto dot = name.find('.'); dot != std::string_view::npos) {
        key = name.substr(dot);
    }
    if (const auto it = cache->find(key); it != cache->end()) return it->second;
    auto kind = std::make_shared<const Kind>(lookUp(name, type));
    if (cache->size() < kCacheLimit) cache->emplace(std::move(key), kind);
    return kind;
}

}  // namespace vantorel
