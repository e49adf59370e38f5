#include "platform/qt/IconThemeFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

// Two themes on two search paths: "child" inherits "parent", which inherits "child" back (a loop
// a broken theme can hold), and hicolor sits on the second path.
class IconThemeFilesTest : public testing::Test {
protected:
    void theme(const QString& base, const QString& name, const QString& index) {
        ASSERT_TRUE(QDir().mkpath(base + "/" + name));
        QFile file(base + "/" + name + "/index.theme");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(index.toUtf8());
    }
    QString icon(const QString& base, const QString& relative) {
        const QString path = base + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile(path).open(QIODevice::WriteOnly);
        return path;
    }
    QTemporaryDir one, two;
};

TEST_F(IconThemeFilesTest, FindsAsTheDesktopDoes) {
    const QString a = one.path(), b = two.path();
    theme(a, "child",
          "[Icon Theme]\nInherits=parent\nDirectories=48/m,96/m,64/m,bad/m,scal/m\n"
          "[48/m]\nSize=48\nType=Fixed\n[96/m]\nSize=96\nType=Fixed\n"
          "[64/m]\nSize=64\nType=Fixed\n[bad/m]\nSize=huge\n"
          "[scal/m]\nSize=16\nType=Scalable\nMinSize=8\nMaxSize=32\n");
    theme(a, "parent", "[Icon Theme]\nInherits=child\nDirectories=32/m\n[32/m]\nSize=32\n");
    theme(b, "hicolor", "[Icon Theme]\nDirectories=80/m\n[80/m]\nSize=40\nScale=2\nType=Fixed\n");
    const struct {
        const char* name;
        QString expected;
    } cases[] = {
        {"nearest", icon(a, "child/96/m/nearest.png")},  // 64 and 96 as near: the larger
        {"nearest-small", icon(a, "child/64/m/nearest-small.png")},
        // A theme's own icon at any size before an exact one it inherits.
        {"own-any-size", icon(a, "child/scal/m/own-any-size.png")},
        {"hicolor-only", icon(b, "hicolor/80/m/hicolor-only.png")},
        {"inherited", icon(a, "parent/32/m/inherited.png")},
        {"own-first", icon(a, "child/48/m/own-first.png")},
        {"unreadable", QString()},
        {"../child/48/m/own-first", QString()},
        {"", QString()},
    };
    icon(a, "parent/32/m/own-first.png");
    icon(a, "child/48/m/nearest.png");
    icon(a, "child/48/m/nearest-small.png");
    icon(a, "child/bad/m/hicolor-only.png");
    icon(a, "child/48/m/unreadable.xpm");
    icon(b, "hicolor/80/m/own-any-size.png");
    const IconThemeFiles files({a, b, a + "/missing"}, {"child", "child", "nonexistent"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(files.find(QString::fromUtf8(c.name), 80).toStdString(),
                  c.expected.toStdString());
    }
}

}  // namespace
}  // namespace vantorel
