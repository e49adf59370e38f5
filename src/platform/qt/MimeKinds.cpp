#include "platform/qt/MimeKinds.h"

#include <QFile>

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

}  // namespace

QMimeType MimeKinds::mimeType(std::string_view name, FileType type) const {
    if (const char* inode = inodeType(type)) return database_.mimeTypeForName(inode);
    // Bytes that are not text in the user's encoding still leave the extension readable.
    const QString decoded =
        QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    return database_.mimeTypeForFile(decoded, QMimeDatabase::MatchExtension);
}

std::string MimeKinds::describe(std::string_view name, FileType type) {
    const QMimeType mime = mimeType(name, type);
    if (!mime.isValid()) return {};
    const std::lock_guard lock(mutex_);
    auto it = descriptions_.find(mime.name());
    if (it == descriptions_.end())
        it = descriptions_.insert(mime.name(), mime.comment().toStdString());
    return *it;
}

QStringList MimeKinds::iconNames(std::string_view name, FileType type) {
    const QMimeType mime = mimeType(name, type);
    QStringList names;
    if (mime.isValid()) names << mime.iconName() << mime.genericIconName();
    names << (type == FileType::directory ? QStringLiteral("folder")
                                          : QStringLiteral("text-x-generic"));
    return names;
}

}  // namespace vantorel
