#include "platform/linux/IcuCollation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstdlib>
#include <vector>

namespace vantorel {

namespace {

std::string_view collationLocale() {
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return {};
}

}  // namespace

IcuCollation::IcuCollation() : IcuCollation(icuLocale(collationLocale())) {}

IcuCollation::IcuCollation(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open(locale.c_str(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        collator_ = ucol_open("", &status);
    }
    if (!collator_) return;
    // Secondary strength: "a" and "A" are equal, "a" and "á" are not.
    ucol_setStrength(collator_, UCOL_SECONDARY);
    status = U_ZERO_ERROR;
    ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
}

IcuCollation::~IcuCollation() {
    if (collator_) ucol_close(collator_);
}

std::string IcuCollation::icuLocale(std::string_view posix) {
    const auto end = posix.find_first_of(".@");
    const std::string_view base = posix.substr(0, end);
    if (base.empty() || base == "C" || base == "POSIX") return "en_US";
    return std::string(base);
}

std::string IcuCollation::sortKey(std::string_view text) {
    // Bytes that are not UTF-8 become replacement characters, as a file browser shows them;
    // the name itself is kept as it is elsewhere.
    std::vector<UChar> utf16(text.size() + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status) || !collator_) return std::string(text);

    std::string key(text.size() * 2 + 16, '\0');
    const std::lock_guard lock(mutex_);
    auto* out = reinterpret_cast<uint8_t*>(key.data());
    int32_t size =
        ucol_getSortKey(collator_, utf16.data(), length, out, static_cast<int32_t>(key.size()));
    if (size > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(size));
        out = reinterpret_cast<uint8_t*>(key.data());
        size = ucol_getSortKey(collator_, utf16.data(), length, out, size);
    }
    // The key ends in a zero byte that would only get in the way of comparing.
    key.resize(size > 0 ? static_cast<std::size_t>(size - 1) : 0);
    return key;
}

}  // namespace vantorel
