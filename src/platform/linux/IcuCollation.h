#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/Collation.h"

struct UCollator;

namespace vantorel {

// The file browser's ordering from ICU for the user's collation locale: letter case ignored
// (accents not), runs of digits by value. The C and POSIX locales have no collation of their
// own and get English's.
class IcuCollation final : public Collation {
public:
    // The locale named by LC_ALL, LC_COLLATE or LANG.
    IcuCollation();
    // An ICU locale name such as "de_DE"; one ICU does not know falls back to its root order.
    explicit IcuCollation(const std::string& locale);
    ~IcuCollation() override;

    std::string sortKey(std::string_view text) override;

    // The ICU locale name of a POSIX locale value ("de_DE.UTF-8@euro" → "de_DE").
    static std::string icuLocale(std::string_view posix);

private:
    std::mutex mutex_;
    UCollator* collator_ = nullptr;
};

}  // namespace vantorel
