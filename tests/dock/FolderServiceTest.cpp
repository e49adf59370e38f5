#include "dock/FolderService.h"

#include <gtest/gtest.h>

#include "platform/sim/SimFileResources.h"
#include "platform/sim/SimUserDefaults.h"

namespace vantorel {
namespace {

DefaultsValue record(DefaultsDictionary tileData) {
    return DefaultsDictionary{{"tile-data", std::move(tileData)}, {"tile-type", "directory-tile"}};
}

DefaultsValue folder(const std::string& label, const std::string& url) {
    return record({{"file-label", label}, {"file-data", DefaultsDictionary{{"_CFURLString", url}}}});
}

class FolderServiceTest : public testing::Test {
protected:
    FolderServiceTest() {
        files.addDirectory("/Users/ana/Downloads");
        files.addDirectory("/Users/ana/Documents");
        files.addApplication("/Applications/Safari.app");
        files.addPackage("/Users/ana/Report.rtfd");
        files.addFile("/Users/ana/notes.txt");
    }

    void setOthers(DefaultsArray others) {
        defaults.domain("com.apple.dock").setObject("persistent-others", std::move(others));
    }
    DockFolderMap map() { return FolderService(defaults, files).dockFolderMap(); }

    SimUserDefaults defaults;
    SimFileResources files;
};

TEST_F(FolderServiceTest, MapsEachDirectoryTileLabelToItsURL) {
    setOthers({folder("Downloads", "file:///Users/ana/Downloads/"),
               folder("Documents", "file:///Users/ana/Documents/")});
    const auto result = map();
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result.at("Downloads").path(), "/Users/ana/Downloads");
    EXPECT_EQ(result.at("Documents").path(), "/Users/ana/Documents");
}

TEST_F(FolderServiceTest, TheLabelComesFromFileLabelElseLabel) {
    auto fileData = DefaultsDictionary{{"_CFURLString", "file:///Users/ana/Downloads/"}};
    setOthers({
        record({{"label", "Only Label"}, {"file-data", fileData}}),
        record({{"file-label", "Both"}, {"label", "Ignored"}, {"file-data", fileData}}),
        record({{"file-label", 7}, {"label", "Fallback"}, {"file-data", fileData}}),
        record({{"file-label", ""}, {"file-data", fileData}}),
        record({{"label", 3}, {"file-data", fileData}}),
    });
    const auto result = map();
    EXPECT_EQ(result.size(), 4u);
    EXPECT_TRUE(result.count("Only Label"));
    EXPECT_TRUE(result.count("Both"));
    EXPECT_FALSE(result.count("Ignored"));
    EXPECT_TRUE(result.count("Fallback"));
    EXPECT_TRUE(result.count(""));  // an empty label is still a label
}

TEST_F(FolderServiceTest, ALaterTileWithTheSameLabelWins) {
    setOthers({folder("Work", "file:///Users/ana/Downloads/"),
               folder("Work", "file:///Users/ana/Documents/")});
    EXPECT_EQ(map().at("Work").path(), "/Users/ana/Documents");
}

TEST_F(FolderServiceTest, OnlyPlainDirectoriesAreKept) {
    files.addUnreadable("/Users/ana/Locked");
    files.addEntry("/Users/ana/Unknown", ResourceValues{std::nullopt, false, false});
    files.addEntry("/Users/ana/DirNoFlags", ResourceValues{true, std::nullopt, std::nullopt});
    setOthers({
        folder("App", "file:///Applications/Safari.app/"),
        folder("Package", "file:///Users/ana/Report.rtfd/"),
        folder("File", "file:///Users/ana/notes.txt"),
        folder("Missing", "file:///Users/ana/Gone/"),
        folder("Locked", "file:///Users/ana/Locked/"),
        folder("Unknown", "file:///Users/ana/Unknown/"),
        folder("Plain path", "/Users/ana/Downloads"),
        folder("Web", "https://example.org/Downloads/"),
        folder("Not a URL", "file:///Users/ana/My Downloads/"),
        folder("No flags", "file:///Users/ana/DirNoFlags/"),
    });
    const auto result = map();
    ASSERT_EQ(result.size(), 1u);
    EXPECT_TRUE(result.count("No flags"));
}

TEST_F(FolderServiceTest, RecordsLackingWhatIsNeededAreSkippedOneByOne) {
    setOthers({
        DefaultsDictionary{},
        DefaultsDictionary{{"tile-type", "directory-tile"}},
        DefaultsDictionary{{"tile-data", "not a dictionary"}},
        record({{"file-data", DefaultsDictionary{{"_CFURLString", "file:///Users/ana/Downloads/"}}}}),
        record({{"file-label", "No file data"}}),
        record({{"file-label", "Bad file data"}, {"file-data", DefaultsArray{}}}),
        record({{"file-label", "No URL"}, {"file-data", DefaultsDictionary{}}}),
        record({{"file-label", "URL number"}, {"file-data", DefaultsDictionary{{"_CFURLString", 15}}}}),
        folder("Good", "file:///Users/ana/Downloads/"),
    });
    const auto result = map();
    ASSERT_EQ(result.size(), 1u);
    EXPECT_TRUE(result.count("Good"));
}

TEST_F(FolderServiceTest, OneElementThatIsNotADictionaryVoidsTheMap) {
    const DefaultsValue strays[] = {"Downloads", 1, DefaultsArray{}, true, 2.5};
    for (const auto& stray : strays) {
        setOthers({folder("Downloads", "file:///Users/ana/Downloads/"), stray,
                   folder("Documents", "file:///Users/ana/Documents/")});
        EXPECT_TRUE(map().empty());
    }
}

TEST_F(FolderServiceTest, MissingOrUnreadablePreferencesGiveAnEmptyMap) {
    EXPECT_TRUE(map().empty());  // key absent
    defaults.domain("com.apple.dock").setObject("persistent-others", "not an array");
    EXPECT_TRUE(map().empty());
    setOthers({folder("Downloads", "file:///Users/ana/Downloads/")});
    EXPECT_EQ(map().size(), 1u);
    defaults.setUnopenable("com.apple.dock", true);
    EXPECT_TRUE(map().empty());
}

}  // namespace
}  // namespace vantorel
