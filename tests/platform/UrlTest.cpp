#include "platform/Url.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(Url, FileUrlsGiveDecodedPathsAndTextThatIsNotAUrlIsRefused) {
    // The path ("" for another host), "~" for a URL that is not a file URL, "!" for refused.
    const std::pair<const char*, const char*> cases[] = {
        {"file:///Users/ana/My%20Folder/", "/Users/ana/My Folder"},
        {"file://localhost/tmp/x", "/tmp/x"},
        {"FILE:///", "/"},
        {"file:///a/b?query#frag", "/a/b"},
        {"file://server/share/x", ""},
        {"https://example.org/Downloads/", "~"},
        {"/Users/ana/Downloads", "~"},
        {"", "!"},
        {"file:///Users/ana/My Folder/", "!"},
        {"file:///bad%2", "!"},
        {"file:///bad%zz", "!"},
        {"file:///a\nb", "!"},
        {"file:///caf\xc3\xa9", "!"},
        {"file:///etc/passwd%00.png", "!"}};  // a NUL would cut the path short
    for (const auto& [text, path] : cases) {
        SCOPED_TRACE(text);
        const auto url = Url::parse(text);
        ASSERT_EQ(bool(url), std::string(path) != "!");
        if (!url) continue;
        EXPECT_EQ(url->isFileUrl(), std::string(path) != "~");
        if (url->isFileUrl()) {
            EXPECT_EQ(url->path(), path);
        }
    }
    EXPECT_EQ(Url::parse("file:///Users/ana/My%20Folder/")->string(),
              "file:///Users/ana/My%20Folder/");
}

TEST(Url, StandardizingRemovesDotSegmentsOnlyAndFromPathEscapes) {
    for (const char* text :
         {"file:///Applications/./Safari.app/", "file:///Applications/Utilities/../Safari.app",
          "file:///../../Applications//Safari.app"})
        EXPECT_EQ(Url::parse(text)->standardizedPath(), "/Applications/Safari.app") << text;
    auto url = Url::fromPath("/Users/ana/Q3 Report #2 [draft]");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->string(), "file:///Users/ana/Q3%20Report%20%232%20%5Bdraft%5D");
    EXPECT_EQ(url->path(), "/Users/ana/Q3 Report #2 [draft]");
    EXPECT_FALSE(Url::fromPath("relative/path"));
    EXPECT_FALSE(Url::fromPath(""));
    EXPECT_FALSE(Url::fromPath(std::string_view("/a\0b", 4)));
}

TEST(Url, FromPathGivesWhatParsingItsStringGives) {
    for (const char* path :
         {"/", "/tmp/", "/a//b/", "/100% done?#x", "/caf\xc3\xa9/\xff name", "/%41"}) {
        const auto url = Url::fromPath(path);
        const auto parsed = url ? Url::parse(url->string()) : std::nullopt;
        ASSERT_TRUE(parsed) << path;
        EXPECT_EQ(url->path(), parsed->path()) << path;
    }
}

}  // namespace
}  // namespace vantorel
