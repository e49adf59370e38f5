#include "platform/qt/ThemeFileIcons.h"

#include <QIcon>
#include <QImage>
#include <QPainter>

#include <string>

#include "platform/qt/IconThemeFiles.h"
#include "platform/qt/ImageConversion.h"

namespace vantorel {
namespace {

// A sheet of paper, for a type no installed theme draws.
QImage blankDocument() {
    QImage image(ThemeFileIcons::kSide, ThemeFileIcons::kSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(150, 150, 156), 2));
    p.setBrush(QColor(250, 250, 252));
    p.drawRoundedRect(QRectF(16, 6, 48, 68), 4, 4);
    return image;
}

}  // namespace

ThemeFileIcons::ThemeFileIcons(MimeKinds& kinds) : kinds_(kinds) {
    // Platforms without a desktop theme (offscreen, bare X servers) search Qt's resources only.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& directory : IconThemeFiles::xdgDirectories()) {
        if (!paths.contains(directory)) paths << directory;
    }
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::fallbackThemeName().isEmpty())
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("Adwaita"));
    files_ = std::make_unique<IconThemeFiles>(
        paths, QStringList{QIcon::themeName(), QIcon::fallbackThemeName()});
}

ThemeFileIcons::~ThemeFileIcons() = default;

ImageRef ThemeFileIcons::iconForFile(std::string_view path) {
    const std::string full(path);
    const auto slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return icon(name, FileSystemResources::typeOfPath(full));
}

ImageRef ThemeFileIcons::icon(std::string_view name, FileType type) {
    const QStringList names = kinds_.iconNames(name, type);
    {
        const std::lock_guard lock(mutex_);
        if (const auto it = icons_.constFind(names.front()); it != icons_.constEnd()) return *it;
    }
    // Read with no lock held: two threads meeting a new type at once merely read its file twice.
    QImage drawn;
    for (const QString& candidate : names) {
        const QString file = files_->find(candidate, kSide);
        if (!file.isEmpty()) drawn = IconThemeFiles::readScaled(file, kSide);
        if (!drawn.isNull()) break;
    }
    if (drawn.isNull()) drawn = blankDocument();
    ImageRef image = fromQImage(drawn);
    const std::lock_guard lock(mutex_);
    return *icons_.insert(names.front(), image);
}

}  // namespace vantorel
