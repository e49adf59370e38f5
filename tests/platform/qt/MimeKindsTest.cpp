#include "platform/qt/MimeKinds.h"

#include <QFile>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

// Remembered kinds must be the database's own answer for every name, whichever name of a
// family was asked first: names that share an extension but not a type are the trap.
TEST(MimeKindsTest, RememberedKindsAgreeWithTheDatabase) {
    const char* names[] = {"notes.txt",  "CMakeLists.txt", "README.txt",      "readme",
                           "README",     "Makefile",       "makefile.in",     "Makefile",
                           "archive.gz", "archive.tar.gz", "x.tar.gz",        "main.c",
                           "main.C",     "libz.so.1",      "libz.so",         "draft.txt~",
                           "core",       "core.txt",       "no-dot",          "other",
                           "photo.JPG",  "photo.jpg",      "v1.2 notes",      "file,v",
                           "123.vdr",    "\xff\xfe.pdf",   "caf\xc3\xa9.pdf", ".hidden.txt",
                           "trailing.",  "COPYING"};
    QMimeDatabase database;
    for (const bool reversed : {false, true}) {
        MimeKinds kinds;
        const int count = static_cast<int>(std::size(names));
        for (int i = 0; i < count; ++i) {
            const char* name = names[reversed ? count - 1 - i : i];
            SCOPED_TRACE(name);
            const QMimeType expected = database.mimeTypeForFile(QFile::decodeName(QByteArray(name)),
                                                                QMimeDatabase::MatchExtension);
            EXPECT_EQ(kinds.mimeType(name, FileType::regular).name().toStdString(),
                      expected.name().toStdString());
            EXPECT_EQ(kinds.describe(name, FileType::regular), expected.comment().toStdString());
        }
    }
}

TEST(MimeKindsTest, TheFileTypeDecidesBeforeTheName) {
    MimeKinds kinds;
    const struct {
        FileType type;
        const char* mime;
        const char* lastIcon;
    } cases[] = {
        {FileType::directory, "inode/directory", "folder"},
        {FileType::symlink, "inode/symlink", "text-x-generic"},
        {FileType::fifo, "inode/fifo", "text-x-generic"},
        {FileType::socket, "inode/socket", "text-x-generic"},
        {FileType::regular, "application/pdf", "text-x-generic"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mime);
        EXPECT_EQ(kinds.mimeType("Report.pdf", c.type).name(), QLatin1String(c.mime));
        EXPECT_EQ(kinds.iconNames("Report.pdf", c.type).last(), QLatin1String(c.lastIcon));
    }
}

}  // namespace
}  // namespace vantorel
