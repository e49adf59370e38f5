#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace vantorel {

// Where an icon theme of the desktop (the freedesktop icon theme layout) keeps the picture of an
// icon, found as the desktop's own lookup finds it: the theme first, then what it inherits, then
// hicolor; in each, an exact size before the nearest one. Reads the themes' index files once;
// afterwards it is plain data, safe to ask from any thread.
class IconThemeFiles {
public:
    IconThemeFiles(const QStringList& searchPaths, const QStringList& themes);

    // The icon theme directories of the XDG base directory rules.
    static QStringList xdgDirectories();
    // The picture in the file, `pixels` on its longer side; null when it cannot be read.
    static QImage readScaled(const QString& file, int pixels);

    // The file of `name` nearest `pixels` on a side, in a format Qt can read; empty if none.
    QString find(const QString& name, int pixels) const;

private:
    struct Directory {
        QStringList paths;  // the same sub-folder under every search path holding the theme
        int size = 0;
        int minimum = 0;
        int maximum = 0;
    };

    void load(const QStringList& searchPaths, const QString& theme, QStringList& seen);

    std::vector<std::vector<Directory>> themes_;
    QStringList extensions_;
};

}  // namespace vantorel
