#include "platform/qt/IconThemeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSettings>

#include <algorithm>
#include <climits>

namespace vantorel {

IconThemeFiles::IconThemeFiles(const QStringList& searchPaths, const QStringList& themes) {
    extensions_ << QStringLiteral(".png");
    if (QImageReader::supportedImageFormats().contains("svg"))
        extensions_ << QStringLiteral(".svg");
    QStringList seen;
    for (const QString& theme : themes)
        load(searchPaths, theme, seen);
    load(searchPaths, QStringLiteral("hicolor"), seen);
}

void IconThemeFiles::load(const QStringList& searchPaths, const QString& theme, QStringList& seen) {
    if (theme.isEmpty() || seen.contains(theme)) return;
    seen << theme;
    QStringList roots;
    for (const QString& base : searchPaths) {
        const QString root = base + QLatin1Char('/') + theme;
        if (QFileInfo::exists(root + QStringLiteral("/index.theme"))) roots << root;
    }
    if (roots.isEmpty()) return;

    // The first index file found describes the theme, as in every lookup of this layout.
    const QSettings index(roots.front() + QStringLiteral("/index.theme"), QSettings::IniFormat);
    std::vector<Directory> directories;
    for (const QString& sub :
         index.value(QStringLiteral("Icon Theme/Directories")).toStringList()) {
        const auto number = [&](const char* key, int fallback) {
            bool ok = false;
            const int value = index.value(sub + QLatin1Char('/') + QLatin1String(key)).toInt(&ok);
            return ok ? value : fallback;
        };
        Directory d;
        const int scale = std::max(1, number("Scale", 1));
        d.size = number("Size", 0) * scale;
        if (d.size <= 0) continue;
        const QString type =
            index.value(sub + QStringLiteral("/Type"), QStringLiteral("Threshold")).toString();
        if (type == QLatin1String("Fixed")) {
            d.minimum = d.maximum = d.size;
        } else if (type == QLatin1String("Scalable")) {
            d.minimum = number("MinSize", d.size / scale) * scale;
            d.maximum = number("MaxSize", d.size / scale) * scale;
        } else {
            const int threshold = number("Threshold", 2) * scale;
            d.minimum = d.size - threshold;
            d.maximum = d.size + threshold;
        }
        for (const QString& root : roots) {
            const QString path = root + QLatin1Char('/') + sub;
            if (QFileInfo(path).isDir()) d.paths << path + QLatin1Char('/');
        }
        if (!d.paths.isEmpty()) directories.push_back(std::move(d));
    }
    themes_.push_back(std::move(directories));
    for (const QString& parent : index.value(QStringLiteral("Icon Theme/Inherits")).toStringList())
        load(searchPaths, parent.trimmed(), seen);
}

QStringList IconThemeFiles::xdgDirectories() {
    QStringList directories;
    const QString home = qEnvironmentVariable("XDG_DATA_HOME");
    directories << (home.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : home) +
                       QStringLiteral("/icons");
    QString shared = qEnvironmentVariable("XDG_DATA_DIRS");
    if (shared.isEmpty()) shared = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& directory : shared.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        directories << directory + QStringLiteral("/icons");
    return directories;
}

QImage IconThemeFiles::readScaled(const QString& file, int pixels) {
    // QImage alone, which any thread may use.
    QImageReader reader(file);
    const QSize size = reader.size();
    if (size.isValid() && size != QSize(pixels, pixels))
        reader.setScaledSize(size.scaled(pixels, pixels, Qt::KeepAspectRatio));
    return reader.read();
}

QString IconThemeFiles::find(const QString& name, int pixels) const {
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) return {};
    for (const auto& directories : themes_) {
        // Nearest first; between two as near, the larger, since shrinking loses less.
        std::vector<std::pair<int, const Directory*>> order;
        for (const Directory& d : directories) {
            const int distance = pixels < d.minimum   ? d.minimum - pixels
                                 : pixels > d.maximum ? pixels - d.maximum
                                                      : 0;
            order.emplace_back(distance * 2 + (d.size >= pixels ? 0 : 1), &d);
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [distance, d] : order) {
            for (const QString& path : d->paths) {
                for (const QString& extension : extensions_) {
                    const QString file = path + name + extension;
                    if (QFileInfo::exists(file)) return file;
                }
            }
        }
    }
    return {};
}

}  // namespace vantorel
