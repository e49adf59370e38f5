#include "platform/Url.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(UrlParse, FileUrlsGiveDecodedPathsWithoutTrailingSlash) {
    auto url = Url::parse("file:///Users/ana/My%20Folder/");
    ASSERT_TRUE(url);
    EXPECT_TRUE(url->isFileUrl());
    EXPECT_EQ(url->path(), "/Users/ana/My Folder");
    EXPECT_EQ(url->string(), "file:///Users/ana/My%20Folder/");

    EXPECT_EQ(Url::parse("file://localhost/tmp/x")->path(), "/tmp/x");
    EXPECT_EQ(Url::parse("FILE:///")->path(), "/");
    EXPECT_TRUE(Url::parse("FILE:///")->isFileUrl());
    EXPECT_EQ(Url::parse("file:///a/b?query#frag")->path(), "/a/b");
}

TEST(UrlParse, RefusesTextThatIsNotAUrl) {
    EXPECT_FALSE(Url::parse(""));
    EXPECT_FALSE(Url::parse("file:///Users/ana/My Folder/"));  // unescaped space
    EXPECT_FALSE(Url::parse("file:///bad%2"));
    EXPECT_FALSE(Url::parse("file:///bad%zz"));
    EXPECT_FALSE(Url::parse("file:///a\nb"));
    EXPECT_FALSE(Url::parse("file:///caf\xc3\xa9"));
    // A NUL would cut the path short wherever it is handed on.
    EXPECT_FALSE(Url::parse("file:///etc/passwd%00.png"));
}

TEST(UrlParse, OtherSchemesAndRelativeTextAreNotFileUrls) {
    auto web = Url::parse("https://example.org/Downloads/");
    ASSERT_TRUE(web);
    EXPECT_FALSE(web->isFileUrl());
    auto relative = Url::parse("/Users/ana/Downloads");
    ASSERT_TRUE(relative);
    EXPECT_FALSE(relative->isFileUrl());
    // A file URL naming another host has no local path.
    EXPECT_EQ(Url::parse("file://server/share/x")->path(), "");
}

TEST(UrlPaths, StandardizingRemovesDotSegmentsOnly) {
    EXPECT_EQ(Url::parse("file:///Applications/./Safari.app/")->standardizedPath(),
              "/Applications/Safari.app");
    EXPECT_EQ(Url::parse("file:///Applications/Utilities/../Safari.app")->standardizedPath(),
              "/Applications/Safari.app");
    EXPECT_EQ(Url::parse("file:///../../x")->standardizedPath(), "/x");
    EXPECT_EQ(Url::parse("file:///a//b/")->standardizedPath(), "/a/b");
}

TEST(UrlPaths, FromPathEscapesAndRoundTrips) {
    auto url = Url::fromPath("/Users/ana/Q3 Report #2 [draft]");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->string(), "file:///Users/ana/Q3%20Report%20%232%20%5Bdraft%5D");
    EXPECT_EQ(url->path(), "/Users/ana/Q3 Report #2 [draft]");
    EXPECT_FALSE(Url::fromPath("relative/path"));
    EXPECT_FALSE(Url::fromPath(""));
}

}  // namespace
}  // namespace vantorel
