#include "platform/qt/Appearance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

#include "platform/qt/DesktopAppearance.h"

#ifdef VANTOREL_HAVE_QTDBUS
#include <QDBusVariant>
#endif

namespace vantorel {
namespace {

class FakeDesktop final : public AppearanceSource {
public:
    explicit FakeDesktop(AppearanceValues values, int* reads) : values_(values), reads_(reads) {}
    AppearanceValues read() override {
        ++*reads_;
        return values_;
    }
    AppearanceValues values_;

private:
    int* reads_;
};

TEST(Appearance, OverrideWinsThenTheDesktopThenOffAndTheDesktopIsAskedOnlyWhenNeeded) {
    int reads = 0;
    Appearance appearance(
        std::make_unique<FakeDesktop>(AppearanceValues{true, std::nullopt}, &reads));
    EXPECT_TRUE(appearance.reduceMotion());
    EXPECT_FALSE(appearance.reduceTransparency());
    appearance.setReduceMotionOverride(false);
    appearance.setReduceTransparencyOverride(true);
    EXPECT_FALSE(appearance.reduceMotion());
    EXPECT_TRUE(appearance.reduceTransparency());
    appearance.setReduceMotionOverride(std::nullopt);
    appearance.setReduceTransparencyOverride(std::nullopt);
    EXPECT_TRUE(appearance.reduceMotion());
    EXPECT_FALSE(appearance.reduceTransparency());
    EXPECT_EQ(reads, 1);  // the desktop is asked once, not per query

    Appearance silent(nullptr);
    EXPECT_FALSE(silent.reduceMotion());
    EXPECT_FALSE(silent.reduceTransparency());

    int overriddenReads = 0;
    Appearance overridden(
        std::make_unique<FakeDesktop>(AppearanceValues{true, true}, &overriddenReads));
    overridden.setReduceMotionOverride(false);
    overridden.setReduceTransparencyOverride(false);
    EXPECT_FALSE(overridden.reduceMotion());
    EXPECT_FALSE(overridden.reduceTransparency());
    EXPECT_EQ(overriddenReads, 0);
}

TEST(Appearance, SignalsOnlyWhenAValueAViewCouldHaveReadChanges) {
    int reads = 0;
    auto desktop = std::make_unique<FakeDesktop>(AppearanceValues{true, false}, &reads);
    FakeDesktop* fake = desktop.get();
    Appearance appearance(std::move(desktop));
    int changes = 0;
    QObject::connect(&appearance, &Appearance::changed, [&changes] { ++changes; });

    // Before anyone has read a flag there is nothing to redraw, and no reason to ask the desktop.
    appearance.setReduceTransparencyOverride(true);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(reads, 0);

    EXPECT_TRUE(appearance.reduceMotion());    // a view reads: the desktop is asked
    appearance.setReduceMotionOverride(true);  // same as the desktop says
    EXPECT_EQ(changes, 0);
    appearance.setReduceTransparencyOverride(false);
    EXPECT_EQ(changes, 1);

    appearance.refresh();  // both overridden: nothing visible can change
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(reads, 1);

    fake->values_ = {false, false};
    appearance.refresh();
    EXPECT_EQ(changes, 1);
    appearance.setReduceMotionOverride(std::nullopt);  // now the desktop's new answer shows
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(appearance.reduceMotion());
    EXPECT_EQ(reads, 2);

    fake->values_ = {true, false};
    appearance.refresh();  // the desktop turned reduce motion on
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(appearance.reduceMotion());
}

TEST(DesktopAppearance, PortalGnomeAndMergedValuesParseOnlyWellFormedAnswers) {
    EXPECT_EQ(appearanceFromPortal(QVariant(1u), QVariant(1u)), (AppearanceValues{true, true}));
    EXPECT_EQ(appearanceFromPortal(QVariant(0u), QVariant(0)), (AppearanceValues{false, false}));
    EXPECT_EQ(appearanceFromPortal(QVariant(1), QVariant(0u)), (AppearanceValues{false, true}));
    // Reserved values, wrong types and missing answers say nothing.
    const QVariant nonsense[] = {QVariant(2u),  QVariant(-1),   QVariant(QStringLiteral("1")),
                                 QVariant(1.0), QVariant(true), QVariant()};
    for (const QVariant& value : nonsense) {
        EXPECT_EQ(appearanceFromPortal(value, value), AppearanceValues{}) << value.typeName();
    }
#ifdef VANTOREL_HAVE_QTDBUS
    // The portal's Read wraps the value in a variant, sometimes twice.
    const QVariant once = QVariant::fromValue(QDBusVariant(QVariant(1u)));
    const QVariant twice = QVariant::fromValue(QDBusVariant(once));
    EXPECT_EQ(appearanceFromPortal(twice, once), (AppearanceValues{true, true}));
    const QVariant wrappedText = QVariant::fromValue(QDBusVariant(QVariant(QStringLiteral("1"))));
    EXPECT_EQ(appearanceFromPortal(wrappedText, wrappedText), AppearanceValues{});
#endif
    // GSettings prints booleans bare.
    EXPECT_EQ(parseGSettingsBool("true\n"), true);
    EXPECT_EQ(parseGSettingsBool("false"), false);
    for (const char* output : {"", "TRUE", "1", "'true'", "true false", "No such key"}) {
        EXPECT_EQ(parseGSettingsBool(output), std::nullopt) << output;
    }
    // Animations off means reduce motion; high contrast means reduce transparency.
    EXPECT_EQ(appearanceFromGnome("false\n", "true\n"), (AppearanceValues{true, true}));
    EXPECT_EQ(appearanceFromGnome("true\n", "false\n"), (AppearanceValues{false, false}));
    EXPECT_EQ(appearanceFromGnome("", "oops"), AppearanceValues{});
    // Merging sources: the first to say anything wins, per flag.
    EXPECT_EQ(firstPresent({{std::nullopt, true}, {false, false}, {true, std::nullopt}}),
              (AppearanceValues{false, true}));
    EXPECT_EQ(firstPresent({{}, {}}), AppearanceValues{});
    EXPECT_EQ(firstPresent({}), AppearanceValues{});
}

// Sets an environment variable for its lifetime, then restores what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) old_ = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnv() { old_ ? qputenv(name_, *old_) : qunsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

class KdeGlobals : public ::testing::Test {
protected:
    QString write(const QByteArray& content) {
        const QString path = dir_.filePath(QStringLiteral("kdeglobals"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(KdeGlobals, AnimationFactorZeroMeansReduceMotion) {
    EXPECT_EQ(appearanceFromKdeGlobals(write("[KDE]\nAnimationDurationFactor=0\n")),
              (AppearanceValues{true, std::nullopt}));
    EXPECT_EQ(appearanceFromKdeGlobals(write("[General]\nfoo=1\n[KDE]\nAnimationDurationFactor="
                                             "0.5\nLookAndFeelPackage=org.kde.breeze\n")),
              (AppearanceValues{false, std::nullopt}));
    for (const char* bad :
         {"[KDE]\nAnimationDurationFactor=fast\n", "[KDE]\nAnimationDurationFactor=-1\n",
          "[KDE]\nAnimationDurationFactor=nan\n", "[KDE]\nAnimationDurationFactor=inf\n", "[KDE]\n",
          "[Other]\nAnimationDurationFactor=0\n", "\x01\x02garbage"}) {
        EXPECT_EQ(appearanceFromKdeGlobals(write(bad)), AppearanceValues{}) << bad;
    }
    EXPECT_EQ(appearanceFromKdeGlobals(dir_.filePath(QStringLiteral("absent"))),
              AppearanceValues{});
}

TEST_F(KdeGlobals, DesktopReadFallsBackToKdeWhenThePortalIsUnreachable) {
    write("[KDE]\nAnimationDurationFactor=0\n");
    // No portal to ask: the session bus address leads nowhere.
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vantorel-test-bus");
    ScopedEnv config("XDG_CONFIG_HOME", dir_.path().toUtf8());
    std::optional<ScopedEnv> desktop;
    desktop.emplace("XDG_CURRENT_DESKTOP", "KDE");
    const AppearanceValues kde = DesktopAppearance().read();
    desktop.reset();
    desktop.emplace("XDG_CURRENT_DESKTOP", "XFCE");
    const AppearanceValues other = DesktopAppearance().read();

    EXPECT_EQ(kde, (AppearanceValues{true, std::nullopt}));
    EXPECT_EQ(other, AppearanceValues{});
}

}  // namespace
}  // namespace vantorel
