#include "widgets/FolderPopoverView.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "platform/qt/Appearance.h"
#include "platform/sim/SimDesktop.h"
#include "widgets/FolderItemTile.h"

namespace vantorel {
namespace {

class FolderPopoverViewTest : public testing::Test {
protected:
    void fill(int count) {
        std::vector<FolderState::EntryRef> entries;
        for (int i = 0; i < count; ++i) {
            auto entry = std::make_shared<FolderState::Entry>();
            entry->name = i == 0 ? "Photos" : "file " + std::to_string(i) + ".txt";
            entry->isDirectory = i == 0;
            entry->url = *Url::fromPath("/Users/ana/Docs/" + entry->name);
            entry->icon = SimDesktop::makeIcon(0xff336699, 80);
            entries.push_back(std::move(entry));
        }
        state.setFolderName("Docs");
        state.setEntries(std::move(entries));
    }
    static QString accessible(QWidget* widget, QAccessible::Text text) {
        return QAccessible::queryAccessibleInterface(widget)->text(text);
    }

    Appearance appearance{nullptr};
    FolderState state;
    FolderPopoverView view{state, appearance};
};

TEST_F(FolderPopoverViewTest, TheGridTakesUpToFourColumnsAndShowsUpToFourRows) {
    struct Case {
        int entries, columns, rows, width, height;
        const char* label;
    };
    for (const Case& c : {Case{1, 1, 1, 100, 102, "Docs folder, 1 item"},
                          Case{2, 2, 1, 202, 102, "Docs folder, 2 items"},
                          Case{10, 4, 3, 406, 290, "Docs folder, 10 items"},
                          Case{17, 4, 5, 406, 384, "Docs folder, 17 items"},
                          Case{500, 4, 125, 406, 384, "Docs folder, 500 items"}}) {
        SCOPED_TRACE(c.entries);
        fill(c.entries);
        view.resize(view.sizeHint());
        EXPECT_EQ(view.columns(), c.columns);
        EXPECT_EQ(view.rows(), c.rows);
        EXPECT_EQ(view.scrollArea()->size(), QSize(c.width, c.height));
        EXPECT_EQ(accessible(&view, QAccessible::Name), QString::fromLatin1(c.label));
        // Only the rows in and next to view have tiles.
        EXPECT_LE(view.builtTileCount(), 6 * c.columns);
        EXPECT_GE(view.sizeHint().width(), c.width + 48);
    }
}

TEST_F(FolderPopoverViewTest, AnEmptyFolderSaysSoInItsOwnArea) {
    fill(0);
    EXPECT_EQ(accessible(&view, QAccessible::Name), QStringLiteral("Docs folder, 0 items"));
    EXPECT_FALSE(view.scrollArea()->isVisibleTo(&view));
    EXPECT_EQ(view.builtTileCount(), 0);
    EXPECT_GE(view.sizeHint().width(), 220 + 48);
    EXPECT_GE(view.sizeHint().height(), 60 + 48);
}

TEST_F(FolderPopoverViewTest, TilesAnnounceTheirItemAndOpenIt) {
    std::vector<std::string> opened;
    state.onOpen = [&](const Url& url) { opened.push_back(url.path()); };
    fill(17);
    view.resize(view.sizeHint());
    view.show();
    FolderItemTile* folder = view.tileAt(0);
    FolderItemTile* file = view.tileAt(1);
    ASSERT_TRUE(folder && file);
    EXPECT_EQ(accessible(folder, QAccessible::Name), QStringLiteral("Photos"));
    EXPECT_EQ(accessible(folder, QAccessible::Description), QStringLiteral("Opens this folder"));
    EXPECT_EQ(accessible(file, QAccessible::Description), QStringLiteral("Opens this file"));
    folder->click();
    file->click();
    EXPECT_EQ(opened,
              (std::vector<std::string>{"/Users/ana/Docs/Photos", "/Users/ana/Docs/file 1.txt"}));

    // Scrolling to the end builds the last row and lets the first go.
    fill(200);
    QScrollBar* bar = view.scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_TRUE(view.tileAt(199));
    EXPECT_FALSE(view.tileAt(0));
}

TEST_F(FolderPopoverViewTest, LongNamesKeepTheirBeginningAndExtensionOnTwoLines) {
    const QFont font = QGuiApplication::font();
    const QString name =
        QStringLiteral("A very long document name that never fits on two lines.pdf");
    const QString fitted = FolderItemTile::fittedName(name, font, 84);
    EXPECT_LT(fitted.size(), name.size());
    EXPECT_TRUE(fitted.startsWith(QStringLiteral("A ")));
    EXPECT_TRUE(fitted.endsWith(QStringLiteral(".pdf")));
    EXPECT_EQ(FolderItemTile::fittedName(QStringLiteral("notes.txt"), font, 84),
              QStringLiteral("notes.txt"));
    EXPECT_EQ(FolderItemTile::displayName("caf\xE9.txt"), QStringLiteral("caf\uFFFD.txt"));
}

}  // namespace
}  // namespace vantorel
