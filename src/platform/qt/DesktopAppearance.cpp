#include "platform/qt/DesktopAppearance.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <cmath>

#ifdef VANTOREL_HAVE_QTDBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#endif

namespace vantorel {
namespace {

// Blocking reads happen once at start-up; a desktop service that hangs must not hold it up.
constexpr int kPortalTimeoutMs = 250;
constexpr int kProcessTimeoutMs = 1000;

QVariant unwrap(QVariant value) {
#ifdef VANTOREL_HAVE_QTDBUS
    // Read answers v(v(u)); a bounded loop so a pathological reply cannot spin.
    for (int depth = 0; depth < 4 && value.metaType() == QMetaType::fromType<QDBusVariant>();
         ++depth) {
        value = value.value<QDBusVariant>().variant();
    }
#endif
    return value;
}

// Only a 32-bit unsigned or signed integer of 0 or 1 means anything; other values are reserved.
std::optional<bool> portalFlag(const QVariant& raw) {
    const QVariant value = unwrap(raw);
    const int type = value.metaType().id();
    if (type != QMetaType::UInt && type != QMetaType::Int) return std::nullopt;
    const qlonglong number = value.toLongLong();
    if (number == 0) return false;
    if (number == 1) return true;
    return std::nullopt;
}

bool currentDesktopIs(const char* name) {
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return desktops.contains(QLatin1String(name), Qt::CaseInsensitive);
}

#ifdef VANTOREL_HAVE_QTDBUS
QVariant readPortal(const QString& key) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return {};
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    call << QStringLiteral("org.freedesktop.appearance") << key;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kPortalTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().constFirst();
}
#endif

AppearanceValues readPortalAppearance() {
#ifdef VANTOREL_HAVE_QTDBUS
    return appearanceFromPortal(readPortal(QStringLiteral("contrast")),
                                readPortal(QStringLiteral("reduced-motion")));
#else
    return {};
#endif
}

QByteArray runGSettings(const QString& tool, const QString& schema, const QString& key) {
    QProcess process;
    process.start(tool, {QStringLiteral("get"), schema, key});
    if (!process.waitForFinished(kProcessTimeoutMs)) {
        process.kill();
        process.waitForFinished(kProcessTimeoutMs);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return {};
    return process.readAllStandardOutput();
}

AppearanceValues readGnomeAppearance() {
    if (!currentDesktopIs("GNOME")) return {};
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (tool.isEmpty()) return {};
    return appearanceFromGnome(
        runGSettings(tool, QStringLiteral("org.gnome.desktop.interface"),
                     QStringLiteral("enable-animations")),
        runGSettings(tool, QStringLiteral("org.gnome.desktop.a11y.interface"),
                     QStringLiteral("high-contrast")));
}

AppearanceValues readKdeAppearance() {
    if (!currentDesktopIs("KDE")) return {};
    const QString path =
        QStandardPaths::locate(QStandardPaths::GenericConfigLocation, QStringLiteral("kdeglobals"));
    if (path.isEmpty()) return {};
    return appearanceFromKdeGlobals(path);
}

}  // namespace

AppearanceValues DesktopAppearance::read() {
    AppearanceValues values = readPortalAppearance();
    // The desktop's own settings only fill what the portal left open; each read is a round trip.
    const auto complete = [&values] { return values.reduceMotion && values.reduceTransparency; };
    if (!complete()) values = firstPresent({values, readGnomeAppearance()});
    if (!complete()) values = firstPresent({values, readKdeAppearance()});
    return values;
}

AppearanceValues appearanceFromPortal(const QVariant& contrast, const QVariant& reducedMotion) {
    return {portalFlag(reducedMotion), portalFlag(contrast)};
}

std::optional<bool> parseGSettingsBool(const QByteArray& output) {
    const QByteArray value = output.trimmed();
    if (value == "true") return true;
    if (value == "false") return false;
    return std::nullopt;
}

AppearanceValues appearanceFromGnome(const QByteArray& enableAnimations,
                                     const QByteArray& highContrast) {
    AppearanceValues values;
    if (const auto animations = parseGSettingsBool(enableAnimations)) {
        values.reduceMotion = !*animations;
    }
    values.reduceTransparency = parseGSettingsBool(highContrast);
    return values;
}

AppearanceValues appearanceFromKdeGlobals(const QString& path) {
    if (!QFileInfo(path).isReadable()) return {};
    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) return {};
    const QVariant raw = settings.value(QStringLiteral("KDE/AnimationDurationFactor"));
    if (!raw.isValid()) return {};
    bool ok = false;
    const double factor = raw.toString().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(factor) || factor < 0) return {};
    return {factor == 0, std::nullopt};
}

AppearanceValues firstPresent(std::initializer_list<AppearanceValues> sources) {
    AppearanceValues result;
    for (const AppearanceValues& source : sources) {
        if (!result.reduceMotion) result.reduceMotion = source.reduceMotion;
        if (!result.reduceTransparency) result.reduceTransparency = source.reduceTransparency;
    }
    return result;
}

}  // namespace vantorel
