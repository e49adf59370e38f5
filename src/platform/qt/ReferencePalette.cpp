#include "platform/qt/ReferencePalette.h"

#include <QColor>

namespace vantorel {

QPalette referenceLightPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(236, 236, 238));
    palette.setColor(QPalette::WindowText, QColor(29, 29, 31));
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    palette.setColor(QPalette::Text, QColor(29, 29, 31));
    palette.setColor(QPalette::Button, QColor(246, 246, 248));
    palette.setColor(QPalette::ButtonText, QColor(29, 29, 31));
    palette.setColor(QPalette::Highlight, QColor(0, 122, 255));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

}  // namespace vantorel
