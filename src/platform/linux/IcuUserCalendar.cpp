#include "platform/linux/IcuUserCalendar.h"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/linux/IcuCollation.h"

namespace vantorel {
namespace {

std::string_view timeLocale() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return {};
}

UDate toUDate(WallTime moment) {
    return static_cast<UDate>(
        std::chrono::duration_cast<std::chrono::milliseconds>(moment.time_since_epoch()).count());
}

std::optional<WallTime> fromUDate(UDate millis) {
    // Outside what the clock holds: no date.
    if (!std::isfinite(millis) || std::abs(millis) > 9.0e15) return std::nullopt;
    return WallTime(std::chrono::duration_cast<WallTime::duration>(
        std::chrono::milliseconds(static_cast<std::int64_t>(millis))));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

bool fitsInt(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

struct IcuUserCalendar::Icu {
    icu::Locale locale;
    std::unique_ptr<icu::Calendar> calendar;
    // The short time style, made once.
    std::unique_ptr<icu::DateFormat> shortTime;
};

IcuUserCalendar::IcuUserCalendar()
    : IcuUserCalendar(IcuCollation::icuLocale(timeLocale()), std::string()) {}

IcuUserCalendar::IcuUserCalendar(const std::string& locale, const std::string& timeZone)
    : icu_(std::make_unique<Icu>(Icu{icu::Locale(locale.c_str()), nullptr, nullptr})) {
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone* zone =
        timeZone.empty() ? icu::TimeZone::createDefault()
                         : icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(timeZone));
    icu_->calendar.reset(icu::Calendar::createInstance(zone, icu_->locale, status));
    if (U_FAILURE(status)) icu_->calendar.reset();
    icu_->shortTime.reset(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, icu_->locale));
    if (icu_->shortTime && icu_->calendar)
        icu_->shortTime->setTimeZone(icu_->calendar->getTimeZone());
}

IcuUserCalendar::~IcuUserCalendar() = default;

WallTime IcuUserCalendar::now() {
    return std::chrono::system_clock::now();
}

std::optional<WallTime> IcuUserCalendar::startOfDay(WallTime moment) {
    std::lock_guard lock(mutex_);
    if (!icu_->calendar) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    icu_->calendar->setTime(toUDate(moment), status);
    icu_->calendar->set(UCAL_HOUR_OF_DAY, 0);
    icu_->calendar->set(UCAL_MINUTE, 0);
    icu_->calendar->set(UCAL_SECOND, 0);
    icu_->calendar->set(UCAL_MILLISECOND, 0);
    const UDate start = icu_->calendar->getTime(status);
    return U_FAILURE(status) ? std::nullopt : fromUDate(start);
}

std::optional<WallTime> IcuUserCalendar::addingDays(WallTime moment, int days) {
    std::lock_guard lock(mutex_);
    if (!icu_->calendar) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    icu_->calendar->setTime(toUDate(moment), status);
    icu_->calendar->add(UCAL_DATE, days, status);
    const UDate later = icu_->calendar->getTime(status);
    return U_FAILURE(status) ? std::nullopt : fromUDate(later);
}

std::optional<WallTime> IcuUserCalendar::date(const DueDateComponents& c) {
    if (!c.year || !c.month || !c.day) return std::nullopt;
    for (const auto& part : {c.year, c.month, c.day, c.hour, c.minute, c.second}) {
        if (part && !fitsInt(*part)) return std::nullopt;
    }
    std::lock_guard lock(mutex_);
    if (!icu_->calendar) return std::nullopt;
    icu_->calendar->clear();
    // Strict: components that name no date make none, rather than rolling over.
    icu_->calendar->setLenient(false);
    icu_->calendar->set(static_cast<std::int32_t>(*c.year), static_cast<std::int32_t>(*c.month - 1),
                        static_cast<std::int32_t>(*c.day),
                        static_cast<std::int32_t>(c.hour.value_or(0)),
                        static_cast<std::int32_t>(c.minute.value_or(0)),
                        static_cast<std::int32_t>(c.second.value_or(0)));
    UErrorCode status = U_ZERO_ERROR;
    const UDate moment = icu_->calendar->getTime(status);
    icu_->calendar->setLenient(true);
    return U_FAILURE(status) ? std::nullopt : fromUDate(moment);
}

DueDateComponents IcuUserCalendar::components(WallTime moment) {
    std::lock_guard lock(mutex_);
    if (!icu_->calendar) return {};
    UErrorCode status = U_ZERO_ERROR;
    icu::Calendar& calendar = *icu_->calendar;
    calendar.setTime(toUDate(moment), status);
    const auto field = [&](UCalendarDateFields name) -> std::int64_t {
        return calendar.get(name, status);
    };
    DueDateComponents parts{field(UCAL_EXTENDED_YEAR), field(UCAL_MONTH) + 1, field(UCAL_DATE),
                            field(UCAL_HOUR_OF_DAY),   field(UCAL_MINUTE),    field(UCAL_SECOND)};
    return U_FAILURE(status) ? DueDateComponents{} : parts;
}

std::string IcuUserCalendar::format(WallTime moment, std::string_view pattern) {
    std::lock_guard lock(mutex_);
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat formatter(icu::UnicodeString::fromUTF8(icu::StringPiece(
                                        pattern.data(), static_cast<std::int32_t>(pattern.size()))),
                                    icu_->locale, status);
    if (U_FAILURE(status)) return {};
    if (icu_->calendar) formatter.setTimeZone(icu_->calendar->getTimeZone());
    icu::UnicodeString text;
    formatter.format(toUDate(moment), text);
    return toUtf8(text);
}

std::string IcuUserCalendar::shortTime(WallTime moment) {
    std::lock_guard lock(mutex_);
    if (!icu_->shortTime) return {};
    icu::UnicodeString text;
    icu_->shortTime->format(toUDate(moment), text);
    return toUtf8(text);
}

}  // namespace vantorel
