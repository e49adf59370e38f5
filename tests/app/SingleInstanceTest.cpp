#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

// A socket name no other test run shares.
QString uniqueName() {
    return QStringLiteral("vantorel-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QString::fromStdString(testing::UnitTest::GetInstance()->current_test_info()->name()));
}

// Lets the first instance's event loop take the request in; bounded, it never waits long.
bool turnUntil(const bool& flag) {
    for (int i = 0; i < 200 && !flag; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return flag;
}

TEST(SingleInstance, ASecondLaunchBringsTheFirstForward) {
    const QString name = uniqueName();
    SingleInstance first(name);
    bool activated = false;
    first.onActivate = [&] { activated = true; };
    EXPECT_FALSE(first.askRunningInstanceToComeForward(100));  // nobody there yet
    ASSERT_TRUE(first.listen());

    SingleInstance second(name);
    EXPECT_TRUE(second.askRunningInstanceToComeForward());
    EXPECT_TRUE(turnUntil(activated));
}

TEST(SingleInstance, ASocketLeftByAnInstanceThatDiedIsTakenOver) {
    const QString name = uniqueName();
    // What a crashed instance leaves behind: the socket's file, with nobody listening.
    const QString path = QDir(QDir::tempPath()).filePath(name);
    {
        QFile leftover(path);
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    }
    SingleInstance instance(name);
    EXPECT_FALSE(instance.askRunningInstanceToComeForward(100));
    EXPECT_TRUE(instance.listen());
    QLocalServer::removeServer(name);
}

}  // namespace
}  // namespace vantorel
