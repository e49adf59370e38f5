#include "platform/Url.h"

#include <cctype>
#include <vector>

namespace vantorel {
namespace {

bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

// Characters a URL string may hold unescaped (RFC 3986 unreserved, reserved and '%').
bool isUrlChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7f) return false;
    switch (c) {
        case '"':
        case '<':
        case '>':
        case '\\':
        case '^':
        case '`':
        case '{':
        case '|':
        case '}':
            return false;
        default:
            return true;
    }
}

bool isPathCharUnescaped(char c) {
    // ASCII only, whatever the locale says of the bytes above it.
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    switch (c) {
        case '-':
        case '.':
        case '_':
        case '~':
        case '/':
        case '!':
        case '$':
        case '&':
        case '\'':
        case '(':
        case ')':
        case '*':
        case '+':
        case ',':
        case ';':
        case '=':
        case ':':
        case '@':
            return true;
        default:
            return false;
    }
}

std::optional<std::string> percentDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%') {
            if (i + 2 >= s.size() || !isHex(s[i + 1]) || !isHex(s[i + 2])) return std::nullopt;
            const char c = static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            // A NUL inside a path would silently truncate it at every C boundary.
            if (c == '\0') return std::nullopt;
            out.push_back(c);
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string stripTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

std::optional<Url> Url::parse(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (char c : text) {
        if (!isUrlChar(c)) return std::nullopt;
    }

    Url url;
    url.text_ = std::string(text);

    std::string_view rest = text;
    const auto colon = text.find(':');
    if (colon != std::string_view::npos && colon > 0 &&
        std::isalpha(static_cast<unsigned char>(text[0]))) {
        bool schemeOk = true;
        for (std::size_t i = 1; i < colon; ++i) {
            const char c = text[i];
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') {
                schemeOk = false;
                break;
            }
        }
        if (schemeOk) {
            for (std::size_t i = 0; i < colon; ++i) {
                url.scheme_.push_back(
                    static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
            }
            rest = text.substr(colon + 1);
        }
    }

    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const auto slash = rest.find('/');
        const std::string_view authority = rest.substr(0, slash);
        if (url.scheme_ == "file" && !authority.empty() && authority != "localhost") {
            // A file URL naming another host has no local path.
            rest = {};
        } else {
            rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash);
        }
    }
    const auto end = rest.find_first_of("?#");
    const auto decoded = percentDecode(rest.substr(0, end));
    if (!decoded) return std::nullopt;
    url.path_ = stripTrailingSlash(*decoded);
    return url;
}

std::optional<Url> Url::fromPath(std::string_view path) {
    if (path.empty() || path.front() != '/') return std::nullopt;
    std::string text = "file://";
    text.reserve(text.size() + path.size() + 8);
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : path) {
        if (c == '\0') return std::nullopt;
        if (isPathCharUnescaped(c)) {
            text.push_back(c);
        } else {
            const auto u = static_cast<unsigned char>(c);
            text.push_back('%');
            text.push_back(kHex[u >> 4]);
            text.push_back(kHex[u & 0xf]);
        }
    }
    // What parsing the text would give, without decoding again what was just encoded.
    Url url;
    url.text_ = std::move(text);
    url.scheme_ = "file";
    url.path_ = stripTrailingSlash(std::string(path));
    return url;
}

std::string Url::standardizedPath() const {
    if (path_.empty() || path_.front() != '/') return path_;
    std::vector<std::string_view> parts;
    std::string_view p = path_;
    while (!p.empty()) {
        const auto slash = p.find('/');
        const std::string_view part = p.substr(0, slash);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string_view::npos) break;
        p.remove_prefix(slash + 1);
    }
    std::string out;
    for (auto part : parts) {
        out.push_back('/');
        out.append(part);
    }
    return out.empty() ? "/" : out;
}

}  // namespace vantorel
