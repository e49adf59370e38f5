#include "widgets/FolderService.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <map>

#include "ScratchFolder.h"
#include "platform/linux/FileSystemResources.h"
#include "platform/linux/IcuCollation.h"
#include "platform/sim/SimCollation.h"
#include "platform/sim/SimFileResources.h"
#include "platform/sim/SimUserDefaults.h"
#include "platform/sim/SimWorkspace.h"

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
        files.addEntry("/Users/ana/Unknown",
                       ResourceValues{std::nullopt, false, false, std::nullopt, std::nullopt});
        files.addEntry("/Users/ana/DirNoFlags", ResourceValues{true, std::nullopt, std::nullopt,
                                                               std::nullopt, std::nullopt});
    }

    void setOthers(DefaultsArray others) {
        defaults.domain("com.apple.dock").setObject("persistent-others", std::move(others));
    }
    // The map as "label=path" pairs in label order.
    std::string map() {
        const auto unordered = FolderService(defaults, files, workspace, collation).dockFolderMap();
        std::string text;
        for (const auto& [label, url] : std::map(unordered.begin(), unordered.end()))
            text += (text.empty() ? "" : ", ") + label + "=" + url.path();
        return text;
    }

    SimUserDefaults defaults;
    SimFileResources files;
    SimWorkspace workspace;
    SimCollation collation;
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

std::vector<std::string> names(const std::vector<FolderState::EntryRef>& entries) {
    std::vector<std::string> out;
    for (const auto& entry : entries)
        out.push_back(entry->name);
    return out;
}

ResourceValues described(bool directory, std::string kind) {
    ResourceValues values;
    values.isDirectory = directory;
    values.localizedTypeDescription = std::move(kind);
    return values;
}

TEST_F(FolderServiceTest, KindsGroupAlphabeticallyAndNamesOrderWithinAKind) {
    files.addListing("/f", {"c", "b", "a", "x"});
    files.addEntry("/f/b", described(true, "Folder"));
    files.addEntry("/f/a", described(true, "Folder"));
    files.addEntry("/f/c", described(false, "Text"));
    files.addUnreadable("/f/x");
    FolderService service(defaults, files, workspace, collation);
    const auto entries = service.entries(*Url::fromPath("/f"), FolderSort::kind);
    EXPECT_EQ(names(entries), (std::vector<std::string>{"x", "a", "b", "c"}));
    // An item whose values cannot be read is still listed, with the fallbacks.
    EXPECT_FALSE(entries[0]->isDirectory);
    EXPECT_EQ(entries[0]->modified, FolderState::kDistantPast);
    EXPECT_EQ(entries[0]->kindDescription, "");
    EXPECT_TRUE(entries[1]->isDirectory);
    EXPECT_TRUE(service.entries(*Url::fromPath("/missing"), FolderSort::name).empty());
}

// The real file system and the real collation, in a folder of the test's own.
class FolderEntriesTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(root.empty()); }

    void file(const std::string& name, int age = 0) {
        std::ofstream(root / name) << name;
        std::filesystem::last_write_time(
            root / name, std::filesystem::file_time_type::clock::now() - std::chrono::hours(age));
    }
    std::vector<std::string> list(FolderSort sort) {
        return names(FolderService(defaults, real, workspace, collation)
                         .entries(*Url::fromPath(root.string()), sort));
    }

    ScratchFolder scratch{"vantorel-entries"};
    const std::filesystem::path root = scratch.path();
    SimUserDefaults defaults;
    FileSystemResources real;
    SimWorkspace workspace;
    IcuCollation collation{"en_US"};
};

TEST_F(FolderEntriesTest, HiddenItemsAreNotListed) {
    file(".profile");
    file("shown-by-nobody");
    std::ofstream(root / ".hidden") << "shown-by-nobody\n";
    EXPECT_TRUE(list(FolderSort::name).empty());
}

TEST_F(FolderEntriesTest, NamesOrderByNumberAndIgnoreCase) {
    for (const char* name : {"file 10.txt", "File 9.txt", "banana", "Apple", "file 100.txt"})
        file(name);
    EXPECT_EQ(list(FolderSort::name), (std::vector<std::string>{"Apple", "banana", "File 9.txt",
                                                                "file 10.txt", "file 100.txt"}));
}

TEST_F(FolderEntriesTest, NewestFirstAndEqualDatesKeepTheListingOrder) {
    file("old", 48);
    file("new", 1);
    file("tie1", 24);
    file("tie2", 24);
    file("tie3", 24);
    const auto times = [&](const char* name) {
        return std::filesystem::last_write_time(root / name);
    };
    std::filesystem::last_write_time(root / "tie2", times("tie1"));
    std::filesystem::last_write_time(root / "tie3", times("tie1"));
    std::vector<std::string> ties;
    const auto listing = real.contentsOfDirectory(*Url::fromPath(root.string()), true);
    for (const Url& url : *listing) {
        const std::string name = url.path().substr(url.path().rfind('/') + 1);
        if (name.starts_with("tie")) ties.push_back(name);
    }
    std::vector<std::string> expected{"new"};
    expected.insert(expected.end(), ties.begin(), ties.end());
    expected.push_back("old");
    EXPECT_EQ(list(FolderSort::dateModified), expected);
}

TEST_F(FolderEntriesTest, EveryKindOfItemIsListedWithoutFailing) {
    namespace fs = std::filesystem;
    file("caf\xE9.txt");
    fs::create_directory(root / "sub");
    fs::create_symlink(root / "nowhere", root / "dangling");
    fs::create_symlink(root / "loop", root / "loop");
    fs::create_symlink(root / "sub", root / "to-sub");
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (root / "socket").string();
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

    // The kind and the icon both name the type they were given.
    const auto typeName = [](FileType type) { return std::to_string(static_cast<int>(type)); };
    FileSystemResources typed([&](std::string_view, FileType type) { return typeName(type); });
    std::map<std::string, std::string> iconTypes;
    workspace.setFileIcons([&](std::string_view path) {
        const std::string full(path);
        iconTypes[full.substr(full.rfind('/') + 1)] =
            typeName(FileSystemResources::typeOfPath(full));
        return ImageRef();
    });
    const auto directory = typeName(FileType::directory), link = typeName(FileType::symlink);
    const std::map<std::string, std::string> types{{"caf\xE9.txt", typeName(FileType::regular)},
                                                   {"dangling", link},
                                                   {"fifo", typeName(FileType::fifo)},
                                                   {"loop", link},
                                                   {"socket", typeName(FileType::socket)},
                                                   {"sub", directory},
                                                   {"to-sub", directory}};
    for (const FolderSort sort : {FolderSort::name, FolderSort::kind, FolderSort::dateModified}) {
        SCOPED_TRACE(static_cast<int>(sort));
        iconTypes.clear();
        const auto entries = FolderService(defaults, typed, workspace, collation)
                                 .entries(*Url::fromPath(root.string()), sort);
        std::map<std::string, std::string> kinds;
        for (const auto& entry : entries) {
            kinds[entry->name] = entry->kindDescription;
            EXPECT_EQ(entry->isDirectory, entry->kindDescription == directory) << entry->name;
            // Only the date sort reads every date.
            if (sort == FolderSort::dateModified) {
                EXPECT_NE(entry->modified, FolderState::kDistantPast) << entry->name;
            }
        }
        EXPECT_EQ(kinds, types);
        EXPECT_EQ(iconTypes, types);
    }
    ::close(sock);
}

// Past a couple of thousand items the dates are read by two threads: each lands on its item.
TEST_F(FolderEntriesTest, ManyItemsSortByTheirOwnDates) {
    std::vector<std::string> expected;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (int i = 0; i < 2500; ++i) {
        const std::string name = "item " + std::to_string(i);
        std::ofstream(root / name).put('x');
        std::filesystem::last_write_time(root / name, now - std::chrono::minutes(i));
        expected.push_back(name);
    }
    EXPECT_EQ(list(FolderSort::dateModified), expected);
}

// A folder that may be read but not searched: its items are listed, none of their values read.
TEST_F(FolderEntriesTest, ItemsOfAFolderThatCannotBeSearchedAreListedUnread) {
    if (::geteuid() == 0) GTEST_SKIP() << "root searches every folder";
    std::filesystem::create_directory(root / "sub");
    std::filesystem::permissions(root, std::filesystem::perms::owner_read);
    const auto entries = FolderService(defaults, real, workspace, collation)
                             .entries(*Url::fromPath(root.string()), FolderSort::name);
    std::filesystem::permissions(root, std::filesystem::perms::owner_all);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0]->isDirectory);
}

}  // namespace
}  // namespace vantorel
