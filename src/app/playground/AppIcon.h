#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace vantorel {

class SimWorld;
class SymbolTable;

// A simulated application's icon: a rounded square in its colour, lit from above, with its
// symbol from the icon font (or its initial where the font is missing). One picture serves the
// Dock, the preview's header and the minimised placeholder, so a tile and its panel match.
class AppIcon {
public:
    static constexpr int kSide = 128;

    static QImage paint(const QColor& colour, const QString& symbol, const QString& name,
                        const SymbolTable& symbols, int side = kSide);
    // Gives every application of the world its icon, before the world is built.
    static void dress(SimWorld& world, const SymbolTable& symbols);
};

}  // namespace vantorel
