#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

// A parsed URL string. Only what the system needs of URLs: the scheme, and for file URLs the
// decoded file-system path.
class Url {
public:
    // Parses an absolute or relative URL string; nullopt when the text is not a valid URL
    // (characters that must be escaped, a bad percent escape, an empty string).
    static std::optional<Url> parse(std::string_view text);
    // A file URL for an absolute path; relative paths are refused.
    static std::optional<Url> fromPath(std::string_view path);

    const std::string& string() const { return text_; }
    const std::string& scheme() const { return scheme_; }
    bool isFileUrl() const { return scheme_ == "file"; }
    // Percent-decoded path without a trailing slash (except for the root).
    const std::string& path() const { return path_; }
    // The path with "." and ".." segments removed; symbolic links are not resolved.
    std::string standardizedPath() const;

    friend bool operator==(const Url& a, const Url& b) { return a.text_ == b.text_; }

private:
    std::string text_;
    std::string scheme_;
    std::string path_;
};

}  // namespace vantorel
