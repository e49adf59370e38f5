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

QPalette referenceDarkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(30, 30, 32));
    palette.setColor(QPalette::WindowText, QColor(236, 236, 240));
    palette.setColor(QPalette::Base, QColor(44, 44, 46));
    palette.setColor(QPalette::AlternateBase, QColor(52, 52, 55));
    palette.setColor(QPalette::Text, QColor(236, 236, 240));
    palette.setColor(QPalette::Button, QColor(58, 58, 62));
    palette.setColor(QPalette::ButtonText, QColor(236, 236, 240));
    palette.setColor(QPalette::PlaceholderText, QColor(152, 152, 158));
    palette.setColor(QPalette::Highlight, QColor(10, 132, 255));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Light, QColor(80, 80, 84));
    palette.setColor(QPalette::Midlight, QColor(66, 66, 70));
    palette.setColor(QPalette::Mid, QColor(50, 50, 54));
    palette.setColor(QPalette::Dark, QColor(20, 20, 22));
    palette.setColor(QPalette::Shadow, Qt::black);
    return palette;
}

}  // namespace vantorel
