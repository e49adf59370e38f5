#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <mutex>
#include <string_view>

#include "platform/Image.h"
#include "platform/qt/MimeKinds.h"

namespace vantorel {

class IconThemeFiles;

// The icon the desktop's file manager shows for a path: its MIME type's icon from the icon
// theme, read once per icon into a plain image (never a pixmap, which belongs to the GUI thread)
// and shared by every item of that type. Safe to use from any thread.
class ThemeFileIcons {
public:
    // Pixels per side: 40 points at twice the density.
    static constexpr int kSide = 80;

    // Where the desktop names no icon theme (offscreen, bare X servers), Adwaita's icons are
    // used.
    explicit ThemeFileIcons(MimeKinds& kinds);
    ~ThemeFileIcons();

    ImageRef iconForFile(std::string_view path);
    // The icon for an item of this name and type, without asking the file system.
    ImageRef icon(std::string_view name, FileType type);

private:
    MimeKinds& kinds_;
    std::unique_ptr<IconThemeFiles> files_;
    std::mutex mutex_;
    QHash<QString, ImageRef> icons_;
};

}  // namespace vantorel
