#include "platform/qt/MimeKinds.h"

#include <QFile>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

// Remembered kinds must be the database's own answer for every name, whichever name of a
// family was asked first: names that share an extension but not a type are the trap.
TEST(MimeKindsTest, RememberedKindsAgreeWithTheDatabase) {
    const char* names[] = {"notes.txt",   "CMakeLists.txt", "README.txt",   "Makefile",
                           "makefile.in", "archive.tar.gz", "x.gz",         "main.C",
                           "main.c",      "libz.so.1",      "draft.txt~",   "core",
                           "no-dot",      "photo.JPG",      "\xff\xfe.pdf", "123.vdr"};
    QMimeDatabase database;
    for (const bool reversed : {false, true}) {
        MimeKinds kinds;
        const int count = static_cast<int>(std::size(names));
        for (int i = 0; i < count; ++i) {
            const char* name = names[reversed ? count - 1 - i : i];
            const QMimeType expected = database.mimeTypeForFile(QFile::decodeName(QByteArray(name)),
                                                                QMimeDatabase::MatchExtension);
            EXPECT_EQ(kinds.mimeType(name, FileType::regular).name().toStdString(),
                      expected.name().toStdString())
                << name;
        }
    }
}

}  // namespace
}  // namespace vantorel
