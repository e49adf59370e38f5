#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

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

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(SingleInstance, TheSocketLivesInThePrivateRuntimeFolderOrElseInOneOfItsOwn) {
    QTemporaryDir scratch;
    const std::filesystem::path root = scratch.path().toStdString();
    const auto folder = [&](const char* name, mode_t mode) {
        std::filesystem::create_directory(root / name);
        ::chmod((root / name).c_str(), mode);
        return (root / name).string();
    };
    const std::string runtime = folder("runtime", 0700), open = folder("open", 0755);
    std::ofstream(root / "file") << "x";
    // Named, so that the table's pointers outlive its initialisation.
    const std::string file = (root / "file").string(), missing = (root / "missing").string();
    const std::filesystem::path fallback =
        root / "fallback" / ("vantorel-" + std::to_string(::getuid()));
    std::filesystem::create_directory(root / "fallback");
    const struct {
        const char* runtimeDir;
        std::filesystem::path expected;
    } cases[] = {{runtime.c_str(), root / "runtime" / SingleInstance::kSocketFile},
                 {nullptr, fallback / SingleInstance::kSocketFile},
                 {"relative/run", fallback / SingleInstance::kSocketFile},
                 {open.c_str(), fallback / SingleInstance::kSocketFile},
                 {file.c_str(), fallback / SingleInstance::kSocketFile},
                 {missing.c_str(), fallback / SingleInstance::kSocketFile}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runtimeDir ? c.runtimeDir : "(unset)");
        EXPECT_EQ(SingleInstance::socketPath(c.runtimeDir, root / "fallback"), c.expected);
        if (c.expected.parent_path() != fallback) continue;
        EXPECT_EQ(modeOf(fallback), 0700u);  // made private, or made private again
        ::chmod(fallback.c_str(), 0755);
    }
    // Whatever stands in the fallback's place that is not our folder is not trusted.
    std::filesystem::remove(fallback);
    std::filesystem::create_symlink(root / "runtime", fallback);
    EXPECT_TRUE(SingleInstance::socketPath(nullptr, root / "fallback").empty());
}

TEST(SingleInstance, LaunchesThatDifferOnlyInTmpdirFindEachOther) {
    QTemporaryDir runtime, firstTmp, secondTmp;
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("TMPDIR", QFile::encodeName(firstTmp.path()));
    SingleInstance first(SingleInstance::defaultName());
    ASSERT_TRUE(first.listen());
    qputenv("TMPDIR", QFile::encodeName(secondTmp.path()));
    SingleInstance second(SingleInstance::defaultName());
    EXPECT_TRUE(second.askRunningInstanceToComeForward());
    // Leaving removes the socket.
    first.close();
    EXPECT_FALSE(QFile::exists(SingleInstance::defaultName()));
    qunsetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace vantorel
