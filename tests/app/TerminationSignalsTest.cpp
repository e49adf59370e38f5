#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

// A session manager's SIGTERM, Ctrl+C's SIGINT, a closed terminal's SIGHUP: each ends the child
// in order, with status 0, its last setting on disk and no socket left behind.
TEST(TerminationSignals, EndTheProgramInOrderWithItsLastSettingSaved) {
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(number);
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("settings.json"));
        const QString socket = dir.filePath(QStringLiteral("vantorel.socket"));
        QProcess child;
        child.start(QStringLiteral(VANTOREL_SIGNAL_CHILD),
                    {settings, socket, QString::number(number)});
        ASSERT_TRUE(child.waitForFinished(20000)) << child.errorString().toStdString();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
        QFile saved(settings);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_TRUE(saved.readAll().contains("\"showDelayMS\": 1234.0"));
        EXPECT_FALSE(QFile::exists(socket));
    }
}

}  // namespace
}  // namespace vantorel
