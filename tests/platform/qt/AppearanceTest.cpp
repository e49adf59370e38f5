#include "platform/qt/Appearance.h"

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

// A desktop that says what it is told and counts how often it was asked.
struct FakeDesktop final : AppearanceSource {
    FakeDesktop(AppearanceValues values, int& count) : answer(values), reads(count) {}
    AppearanceValues read() override {
        ++reads;
        return answer;
    }
    AppearanceValues answer;
    int& reads;
};

std::pair<bool, bool> flags(const Appearance& appearance) {
    return {appearance.reduceMotion(), appearance.reduceTransparency()};
}

TEST(Appearance, TheOverrideWinsThenTheDesktopAskedOnceWhenNeededThenOff) {
    int reads = 0;
    Appearance appearance(std::make_unique<FakeDesktop>(AppearanceValues{true, {}}, reads));
    EXPECT_EQ(flags(appearance), std::pair(true, false));
    appearance.setReduceMotionOverride(false);
    appearance.setReduceTransparencyOverride(true);
    EXPECT_EQ(flags(appearance), std::pair(false, true));
    appearance.setReduceMotionOverride(std::nullopt);
    appearance.setReduceTransparencyOverride(std::nullopt);
    EXPECT_EQ(flags(appearance), std::pair(true, false));
    EXPECT_EQ(flags(Appearance(nullptr)), std::pair(false, false));
    Appearance both(std::make_unique<FakeDesktop>(AppearanceValues{true, true}, reads));
    both.setReduceMotionOverride(false);
    both.setReduceTransparencyOverride(false);
    EXPECT_EQ(flags(both), std::pair(false, false));
    EXPECT_EQ(reads, 1);  // asked once, and not at all when both flags are overridden
}

TEST(Appearance, SignalsOnlyWhenAValueAViewCouldHaveReadChanges) {
    int reads = 0;
    auto desktop = std::make_unique<FakeDesktop>(AppearanceValues{true, false}, reads);
    FakeDesktop* fake = desktop.get();
    Appearance appearance(std::move(desktop));
    int changes = 0;
    QObject::connect(&appearance, &Appearance::changed, [&changes] { ++changes; });

    // Before anyone has read a flag there is nothing to redraw, and no reason to ask.
    appearance.setReduceTransparencyOverride(true);
    EXPECT_EQ(changes + reads, 0);
    EXPECT_TRUE(appearance.reduceMotion());
    appearance.setReduceMotionOverride(true);  // what the desktop says anyway
    EXPECT_EQ(changes, 0);
    appearance.setReduceTransparencyOverride(false);
    EXPECT_EQ(changes, 1);
    appearance.refresh();  // both overridden: nothing visible can change
    EXPECT_EQ(changes, 1);

    fake->answer = {false, false};
    appearance.refresh();
    appearance.setReduceMotionOverride(std::nullopt);  // now the desktop's new answer shows
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(reads, 2);
    fake->answer = {true, false};
    appearance.refresh();
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(appearance.reduceMotion());
}

TEST(DesktopAppearance, OnlyWellFormedAnswersSayAnything) {
    EXPECT_EQ(appearanceFromPortal(QVariant(1u), QVariant(1u)), (AppearanceValues{true, true}));
    EXPECT_EQ(appearanceFromPortal(QVariant(1), QVariant(0u)), (AppearanceValues{false, true}));
    // Reserved values, wrong types and missing answers say nothing.
    for (const QVariant& value : {QVariant(2u), QVariant(-1), QVariant(QStringLiteral("1")),
                                  QVariant(1.0), QVariant(true), QVariant()})
        EXPECT_EQ(appearanceFromPortal(value, value), AppearanceValues{}) << value.typeName();
#ifdef VANTOREL_HAVE_QTDBUS
    // The portal's Read wraps the value in a variant, sometimes twice.
    const QVariant once = QVariant::fromValue(QDBusVariant(QVariant(1u)));
    const QVariant twice = QVariant::fromValue(QDBusVariant(once));
    EXPECT_EQ(appearanceFromPortal(twice, once), (AppearanceValues{true, true}));
    const QVariant text = QVariant::fromValue(QDBusVariant(QVariant(QStringLiteral("1"))));
    EXPECT_EQ(appearanceFromPortal(text, text), AppearanceValues{});
#endif
    // GSettings prints booleans bare. Animations off means reduce motion; high contrast means
    // reduce transparency.
    EXPECT_EQ(parseGSettingsBool("false"), false);
    for (const char* output : {"", "TRUE", "1", "'true'", "true false", "No such key"})
        EXPECT_EQ(parseGSettingsBool(output), std::nullopt) << output;
    EXPECT_EQ(appearanceFromGnome("false\n", "true\n"), (AppearanceValues{true, true}));
    EXPECT_EQ(appearanceFromGnome("true\n", "false\n"), (AppearanceValues{false, false}));
    EXPECT_EQ(appearanceFromGnome("", "oops"), AppearanceValues{});
    // The first source to say anything wins, per flag.
    EXPECT_EQ(firstPresent({{std::nullopt, true}, {false, false}, {true, std::nullopt}}),
              (AppearanceValues{false, true}));
    EXPECT_EQ(firstPresent({}), AppearanceValues{});
}

// Sets an environment variable for its lifetime, then restores what was there.
struct ScopedEnv {
    ScopedEnv(const char* variable, const QByteArray& value)
        : name(variable), old(qgetenv(variable)), was(qEnvironmentVariableIsSet(variable)) {
        qputenv(name, value);
    }
    ~ScopedEnv() { was ? qputenv(name, old) : qunsetenv(name); }
    const char* name;
    QByteArray old;
    bool was;
};

TEST(DesktopAppearance, KdeGlobalsAreReadUnderKdeWhenThePortalIsUnreachable) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kdeglobals"));
    const auto kde = [&](const QByteArray& content) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        return appearanceFromKdeGlobals(path);
    };
    EXPECT_EQ(kde("[General]\nfoo=1\n[KDE]\nAnimationDurationFactor=0.5\nLookAndFeelPackage=x\n"),
              (AppearanceValues{false, std::nullopt}));
    for (const char* bad :
         {"[KDE]\nAnimationDurationFactor=fast\n", "[KDE]\nAnimationDurationFactor=-1\n",
          "[KDE]\nAnimationDurationFactor=nan\n", "[KDE]\nAnimationDurationFactor=inf\n", "[KDE]\n",
          "[Other]\nAnimationDurationFactor=0\n", "\x01\x02garbage"})
        EXPECT_EQ(kde(bad), AppearanceValues{}) << bad;
    EXPECT_EQ(appearanceFromKdeGlobals(dir.filePath(QStringLiteral("absent"))), AppearanceValues{});

    ASSERT_EQ(kde("[KDE]\nAnimationDurationFactor=0\n"), (AppearanceValues{true, std::nullopt}));
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vantorel-test-bus");
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().toUtf8());
    for (const auto& [desktop, expected] :
         {std::pair("KDE", AppearanceValues{true, {}}), std::pair("XFCE", AppearanceValues{})}) {
        ScopedEnv current("XDG_CURRENT_DESKTOP", desktop);
        EXPECT_EQ(DesktopAppearance().read(), expected) << desktop;
    }
}

}  // namespace
}  // namespace vantorel
