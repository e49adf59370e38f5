#include "dock/FolderService.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/sim/SimFileResources.h"
#include "platform/sim/SimUserDefaults.h"

namespace vantorel {
namespace {

DefaultsValue record(DefaultsDictionary tileData) {
    return DefaultsDictionary{{"tile-data", std::move(tileData)}, {"tile-type", "directory-tile"}};
}

DefaultsValue folder(const std::string& label, const std::string& url) {
    return record(
        {{"file-label", label}, {"file-data", DefaultsDictionary{{"_CFURLString", url}}}});
}

class FolderServiceTest : public testing::Test {
protected:
    FolderServiceTest() {
        files.addDirectory("/Users/ana/Downloads");
        files.addDirectory("/Users/ana/Documents");
        files.addApplication("/Applications/Safari.app");
        files.addPackage("/Users/ana/Report.rtfd");
        files.addFile("/Users/ana/notes.txt");
        files.addUnreadable("/Users/ana/Locked");
        files.addEntry("/Users/ana/Unknown", ResourceValues{std::nullopt, false, false});
        files.addEntry("/Users/ana/DirNoFlags", ResourceValues{true, std::nullopt, std::nullopt});
    }

    void setOthers(DefaultsArray others) {
        defaults.domain("com.apple.dock").setObject("persistent-others", std::move(others));
    }
    // The map as "label=path" pairs in label order.
    std::string map() {
        const auto unordered = FolderService(defaults, files).dockFolderMap();
        std::string text;
        for (const auto& [label, url] : std::map(unordered.begin(), unordered.end()))
            text += (text.empty() ? "" : ", ") + label + "=" + url.path();
        return text;
    }

    SimUserDefaults defaults;
    SimFileResources files;
};

TEST_F(FolderServiceTest, EachLabelMapsToTheLastPlainDirectoryOfACompleteRecord) {
    const DefaultsValue downloads =
        DefaultsDictionary{{"_CFURLString", "file:///Users/ana/Downloads/"}};
    setOthers({
        folder("Downloads", "file:///Users/ana/Downloads/"),
        folder("Work", "file:///Users/ana/Downloads/"),
        folder("Work", "file:///Users/ana/Documents/"),
        // The label comes from "file-label", else "label"; an empty one is still a label.
        record({{"label", "Only Label"}, {"file-data", downloads}}),
        record({{"file-label", "Both"}, {"label", "Ignored"}, {"file-data", downloads}}),
        record({{"file-label", 7}, {"label", "Fallback"}, {"file-data", downloads}}),
        record({{"file-label", ""}, {"file-data", downloads}}),
        record({{"label", 3}, {"file-data", downloads}}),
        // Only plain directories are kept.
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
        // Records lacking what is needed are skipped one by one.
        DefaultsDictionary{},
        DefaultsDictionary{{"tile-type", "directory-tile"}},
        DefaultsDictionary{{"tile-data", "not a dictionary"}},
        record({{"file-data", downloads}}),
        record({{"file-label", "No file data"}}),
        record({{"file-label", "Bad file data"}, {"file-data", DefaultsArray{}}}),
        record({{"file-label", "No URL"}, {"file-data", DefaultsDictionary{}}}),
        record({{"file-label", "URL number"},
                {"file-data", DefaultsDictionary{{"_CFURLString", 15}}}}),
    });
    EXPECT_EQ(map(),
              "=/Users/ana/Downloads, Both=/Users/ana/Downloads, Downloads=/Users/ana/Downloads, "
              "Fallback=/Users/ana/Downloads, No flags=/Users/ana/DirNoFlags, "
              "Only Label=/Users/ana/Downloads, Work=/Users/ana/Documents");
}

TEST_F(FolderServiceTest, AStrayElementOrUnreadablePreferencesGiveAnEmptyMap) {
    EXPECT_EQ(map(), "");  // key absent
    defaults.domain("com.apple.dock").setObject("persistent-others", "not an array");
    EXPECT_EQ(map(), "");
    for (const DefaultsValue& stray : {DefaultsValue("Downloads"), DefaultsValue(1),
                                       DefaultsValue(DefaultsArray{}), DefaultsValue(true)}) {
        setOthers({folder("Downloads", "file:///Users/ana/Downloads/"), stray});
        EXPECT_EQ(map(), "");
    }
    setOthers({folder("Downloads", "file:///Users/ana/Downloads/")});
    EXPECT_EQ(map(), "Downloads=/Users/ana/Downloads");
    defaults.setUnopenable("com.apple.dock", true);
    EXPECT_EQ(map(), "");
}

}  // namespace
}  // namespace vantorel
