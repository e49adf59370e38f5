#include "platform/linux/ICalendarFile.h"

#include <libical/ical.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <set>
#include <utility>

#include "platform/UserCalendar.h"

namespace vantorel {
namespace {

using std::chrono::hours;
using std::chrono::seconds;

// An event longer than this ends here, so that its end stays a moment that can be held.
constexpr WallTime::duration kLongest = hours(24 * 366 * 100);

bool isUtf8(const std::string& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

std::optional<std::string> textOf(const char* value) {
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

// The libical walks over children and properties keep their place inside the component.
template <typename Visit>
void forEachChild(icalcomponent* parent, icalcomponent_kind kind, Visit visit) {
    for (icalcomponent* c = icalcomponent_get_first_component(parent, kind); c;
         c = icalcomponent_get_next_component(parent, kind))
        visit(c);
}

template <typename Visit>
void forEachProperty(icalcomponent* component, icalproperty_kind kind, Visit visit) {
    for (icalproperty* p = icalcomponent_get_first_property(component, kind); p;
         p = icalcomponent_get_next_property(component, kind))
        visit(p);
}

// The time with the zone its TZID names: the file's own VTIMEZONE first, then the system's
// database. A name neither knows leaves the time floating, read as local time.
icaltimetype zoned(icaltimetype time, icalproperty* property, icalcomponent* root) {
    if (time.is_date || icaltime_is_utc(time)) return time;
    time.zone = nullptr;
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char* name = tzid ? icalparameter_get_tzid(tzid) : nullptr;
    if (!name || !*name) return time;
    icaltimezone* zone = icalcomponent_get_timezone(root, name);
    time.zone = zone ? zone : icaltimezone_get_builtin_timezone(name);
    return time;
}

// Years a calendar shows, well inside what a moment holds (1678 to 2262): sums of two stay in.
bool isUsable(const icaltimetype& time) {
    return !icaltime_is_null_time(time) && time.year >= 1900 && time.year <= 2100 &&
           time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31;
}

std::optional<WallTime> momentOf(const icaltimetype& time, UserCalendar& calendar) {
    if (!isUsable(time)) return std::nullopt;
    if (time.is_date) return calendar.date({time.year, time.month, time.day, {}, {}, {}});
    if (time.zone)
        return std::chrono::system_clock::from_time_t(icaltime_as_timet_with_zone(time, time.zone));
    return calendar.date({time.year, time.month, time.day, time.hour, time.minute, time.second});
}

std::optional<WallTime> propertyMoment(icalproperty* property, icaltimetype value,
                                       icalcomponent* root, UserCalendar& calendar) {
    return momentOf(zoned(value, property, root), calendar);
}

std::string uidOf(icalcomponent* component) {
    const char* uid = icalcomponent_get_uid(component);
    return uid ? uid : "";
}

}  // namespace

struct ICalendarFile::Calendar {
    explicit Calendar(icalcomponent* component) : root(component) {}
    ~Calendar() { icalcomponent_free(root); }
    Calendar(const Calendar&) = delete;
    Calendar& operator=(const Calendar&) = delete;

    icalcomponent* root;
};

ICalendarFile::ICalendarFile(std::unique_ptr<Calendar> calendar) : calendar_(std::move(calendar)) {}
ICalendarFile::~ICalendarFile() = default;

std::unique_ptr<ICalendarFile> ICalendarFile::parse(const std::string& text, std::string& problem) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        text.find('\0') != std::string::npos || !isUtf8(text)) {
        problem = "not UTF-8 text";
        return nullptr;
    }
    icalcomponent* root = icalparser_parse_string(text.c_str());
    if (!root) {
        problem = "not iCalendar";
        return nullptr;
    }
    auto calendar = std::make_unique<Calendar>(root);
    if (icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT) {
        problem = "no VCALENDAR";
        return nullptr;
    }
    if (icalcomponent_count_components(root, ICAL_VEVENT_COMPONENT) +
            icalcomponent_count_components(root, ICAL_VTODO_COMPONENT) ==
        0) {
        problem = "no event or to-do";
        return nullptr;
    }
    return std::unique_ptr<ICalendarFile>(new ICalendarFile(std::move(calendar)));
}

std::vector<StoreEvent> ICalendarFile::events(WallTime start, WallTime end, UserCalendar& calendar,
                                              std::size_t bound, bool& bounded) const {
    if (!last_ || last_->start != start || last_->end != end || last_->bound != bound) {
        bool cut = false;
        std::vector<StoreEvent> placed = place(start, end, calendar, bound, cut);
        last_ = Window{start, end, bound, std::move(placed)};
        bounded = bounded || cut;
    }
    return last_->events;
}

std::vector<StoreEvent> ICalendarFile::place(WallTime start, WallTime end, UserCalendar& calendar,
                                             std::size_t bound, bool& bounded) const {
    icalcomponent* root = calendar_->root;
    std::vector<icalcomponent*> masters;
    std::vector<icalcomponent*> moved;
    // The occurrences of a series that an instance of their own replaces.
    std::set<std::pair<std::string, WallTime>> replaced;
    forEachChild(root, ICAL_VEVENT_COMPONENT, [&](icalcomponent* event) {
        icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (!id) {
            masters.push_back(event);
            return;
        }
        moved.push_back(event);
        if (auto when = propertyMoment(id, icalproperty_get_recurrenceid(id), root, calendar))
            replaced.emplace(uidOf(event), *when);
    });

    std::vector<StoreEvent> found;
    const auto layOut = [&](icalcomponent* event, bool expands) {
        // A cancelled series shows nothing; a cancelled instance still hides its occurrence.
        if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED) return;
        icalproperty* startProperty =
            icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (!startProperty) return;
        const icaltimetype first =
            zoned(icalproperty_get_dtstart(startProperty), startProperty, root);
        const std::optional<WallTime> firstMoment = momentOf(first, calendar);
        if (!firstMoment) return;

        std::optional<WallTime::duration> length;
        if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
            const auto last = propertyMoment(p, icalproperty_get_dtend(p), root, calendar);
            if (last && *last >= *firstMoment) length = *last - *firstMoment;
        } else if (icalproperty* d =
                       icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
            const icaldurationtype duration = icalproperty_get_duration(d);
            const int total = icaldurationtype_as_int(duration);
            if (!icaldurationtype_is_bad_duration(duration) && total >= 0) length = seconds(total);
        } else if (first.is_date) {
            length = hours(24);
        }
        if (length) length = std::min<WallTime::duration>(*length, kLongest);
        // A day is a calendar day: 23 or 25 hours across a change of clocks.
        const auto endOf = [&](WallTime begin) -> std::optional<WallTime> {
            if (!length) return std::nullopt;
            if (!first.is_date) return begin + *length;
            const double days = std::chrono::duration<double>(*length) / hours(24);
            return calendar.addingDays(begin, static_cast<int>(std::lround(days)));
        };

        std::vector<WallTime> starts{*firstMoment};
        if (expands) {
            forEachProperty(event, ICAL_RRULE_PROPERTY, [&](icalproperty* rule) {
                const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
                icalrecur_iterator* it = icalrecur_iterator_new(recurrence, first);
                if (!it) return;
                // Skip ahead to a day before the window, less the event's own length.
                const WallTime from =
                    start - length.value_or(WallTime::duration::zero()) - hours(24);
                if (recurrence.count == 0 && from > *firstMoment) {
                    icaltimetype skip = icaltime_from_timet_with_zone(
                        std::chrono::system_clock::to_time_t(from), first.is_date,
                        first.zone ? const_cast<icaltimezone*>(first.zone)
                                   : icaltimezone_get_utc_timezone());
                    skip.zone = first.zone;
                    icalrecur_iterator_set_start(it, skip);
                }
                std::size_t count = 0;
                for (icaltimetype next = icalrecur_iterator_next(it); !icaltime_is_null_time(next);
                     next = icalrecur_iterator_next(it)) {
                    next.zone = first.zone;
                    const auto moment = momentOf(next, calendar);
                    if (!moment || *moment >= end) break;
                    if (++count > bound) {
                        bounded = true;
                        break;
                    }
                    starts.push_back(*moment);
                }
                icalrecur_iterator_free(it);
            });
            forEachProperty(event, ICAL_RDATE_PROPERTY, [&](icalproperty* p) {
                const icaldatetimeperiodtype date = icalproperty_get_rdate(p);
                const icaltimetype at =
                    icaltime_is_null_time(date.time) ? date.period.start : date.time;
                if (auto moment = propertyMoment(p, at, root, calendar)) starts.push_back(*moment);
            });
        }
        std::set<WallTime> skipped;
        if (expands) {
            forEachProperty(event, ICAL_EXDATE_PROPERTY, [&](icalproperty* p) {
                if (auto moment = propertyMoment(p, icalproperty_get_exdate(p), root, calendar))
                    skipped.insert(*moment);
            });
        }

        const std::string uid = uidOf(event);
        std::set<WallTime> seen;
        for (const WallTime begin : starts) {
            if (!seen.insert(begin).second || skipped.count(begin)) continue;
            if (expands && replaced.count({uid, begin})) continue;
            const std::optional<WallTime> finish = endOf(begin);
            const WallTime last = finish.value_or(begin);
            if (!(begin < end && (last > start || begin >= start))) continue;
            StoreEvent placed;
            placed.eventIdentifier = textOf(uid.c_str());
            placed.title = textOf(icalcomponent_get_summary(event));
            placed.location = textOf(icalcomponent_get_location(event));
            placed.isAllDay = first.is_date;
            placed.startDate = begin;
            placed.endDate = finish;
            placed.hashValue = std::hash<std::string>{}(
                uid + '@' + std::to_string(begin.time_since_epoch().count()));
            found.push_back(std::move(placed));
        }
    };
    for (icalcomponent* event : masters)
        layOut(event, true);
    for (icalcomponent* event : moved)
        layOut(event, false);
    return found;
}

std::vector<StoreReminder> ICalendarFile::todos(UserCalendar& calendar) const {
    icalcomponent* root = calendar_->root;
    std::vector<StoreReminder> found;
    forEachChild(root, ICAL_VTODO_COMPONENT, [&](icalcomponent* todo) {
        StoreReminder reminder;
        reminder.calendarItemIdentifier = textOf(icalcomponent_get_uid(todo));
        reminder.title = textOf(icalcomponent_get_summary(todo));
        if (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY)) {
            const icaltimetype due = zoned(icalproperty_get_due(p), p, root);
            if (isUsable(due)) {
                if (due.is_date) {
                    reminder.dueDateComponents =
                        DueDateComponents{due.year, due.month, due.day, {}, {}, {}};
                } else if (due.zone) {
                    if (auto moment = momentOf(due, calendar))
                        reminder.dueDateComponents = calendar.components(*moment);
                } else {
                    reminder.dueDateComponents = DueDateComponents{
                        due.year, due.month, due.day, due.hour, due.minute, due.second};
                }
            }
        }
        if (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY))
            reminder.priority = icalproperty_get_priority(p);
        // A cancelled to-do is no longer due, so it is listed as a done one is: not at all.
        const icalproperty_status status = icalcomponent_get_status(todo);
        reminder.isCompleted =
            status == ICAL_STATUS_COMPLETED || status == ICAL_STATUS_CANCELLED ||
            icalcomponent_get_first_property(todo, ICAL_COMPLETED_PROPERTY) != nullptr;
        found.push_back(std::move(reminder));
    });
    return found;
}

}  // namespace vantorel
