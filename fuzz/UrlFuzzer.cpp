// Any text through the URL parser; any absolute path through a file URL and back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vantorel::Url;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto url = Url::parse(text)) {
        (void)url->standardizedPath();
        if (url->isFileUrl() && url->path().find('\0') != std::string::npos) __builtin_trap();
    }
    if (const auto url = Url::fromPath(text)) {
        std::string expected(text);
        while (expected.size() > 1 && expected.back() == '/')
            expected.pop_back();
        const auto back = Url::parse(url->string());
        if (!back || !back->isFileUrl() || back->path() != expected) __builtin_trap();
    }
    return 0;
}
