#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <optional>

#include "platform/qt/AppearanceSource.h"

namespace vantorel {

// Reads the desktop's accessibility display settings: the settings portal's
// org.freedesktop.appearance first, then GNOME's or KDE's own settings. High contrast counts as
// reduce transparency. Each read that fails or answers nonsense just says nothing.
class DesktopAppearance final : public AppearanceSource {
public:
    AppearanceValues read() override;
};

// The portal's "contrast" (1 = higher) and "reduced-motion" (1 = reduce) values, as the portal's
// Read call returns them (possibly wrapped in variants).
AppearanceValues appearanceFromPortal(const QVariant& contrast, const QVariant& reducedMotion);

// One `gsettings get` answer for a boolean key.
std::optional<bool> parseGSettingsBool(const QByteArray& output);

// GNOME's org.gnome.desktop.interface enable-animations and
// org.gnome.desktop.a11y.interface high-contrast, as `gsettings get` prints them.
AppearanceValues appearanceFromGnome(const QByteArray& enableAnimations,
                                     const QByteArray& highContrast);

// KDE's kdeglobals file: an AnimationDurationFactor of 0 in [KDE] switches animations off.
AppearanceValues appearanceFromKdeGlobals(const QString& path);

// Per flag, the first source that says anything.
AppearanceValues firstPresent(std::initializer_list<AppearanceValues> sources);

}  // namespace vantorel
