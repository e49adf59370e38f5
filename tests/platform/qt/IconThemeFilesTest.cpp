#include "platform/qt/IconThemeFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

// Two search paths: "child" inherits "parent", which inherits "child" back (a loop a broken
// theme can hold), and hicolor, always searched last, sits on the second.
TEST(IconThemeFilesTest, FindsAsTheDesktopDoes) {
    QTemporaryDir one, two;
    const QString a = one.path(), b = two.path();
    const auto write = [](const QString& path, const char* text = "") {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(text);
        return path;
    };
    write(a + "/child/index.theme",
          "[Icon Theme]\nInherits=parent\nDirectories=48/m,96/m,64/m,bad/m,scal/m\n"
          "[48/m]\nSize=48\nType=Fixed\n[96/m]\nSize=96\nType=Fixed\n[64/m]\nSize=64\n"
          "Type=Fixed\n[bad/m]\nSize=huge\n[scal/m]\nSize=16\nType=Scalable\nMaxSize=32\n");
    write(a + "/parent/index.theme",
          "[Icon Theme]\nInherits=child\nDirectories=32/m\n[32/m]\nSize=32\n");
    write(b + "/hicolor/index.theme", "[Icon Theme]\nDirectories=80/m\n[80/m]\nSize=40\nScale=2\n");
    for (const QString& decoy : {a + "/child/48/m/nearest.png", a + "/child/bad/m/hicolor-only.png",
                                 b + "/hicolor/80/m/own-any-size.png"})
        write(decoy);
    const struct {
        const char* name;
        QString expected;
    } cases[] = {
        {"nearest", write(a + "/child/96/m/nearest.png")},  // 64 and 96 as near: the larger
        {"own-any-size", write(a + "/child/scal/m/own-any-size.png")},  // before an exact parent's
        {"inherited", write(a + "/parent/32/m/inherited.png")},
        {"hicolor-only", write(b + "/hicolor/80/m/hicolor-only.png")},
        {"../child/96/m/nearest", QString()},
        {"", QString()},
    };
    const IconThemeFiles files({a, b, a + "/missing"}, {"child", "child", "nonexistent"});
    for (const auto& c : cases)
        EXPECT_EQ(files.find(c.name, 80).toStdString(), c.expected.toStdString()) << c.name;
}

}  // namespace
}  // namespace vantorel
