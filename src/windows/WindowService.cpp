#include "windows/WindowService.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/Accessibility.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"

namespace vantorel {
namespace {

constexpr WindowServer::Options kListOptions =
    WindowServer::kOptionOnScreenOnly | WindowServer::kOptionExcludeDesktopElements;
constexpr double kMaxDistanceSquared =
    WindowService::kMaxCentreDistance * WindowService::kMaxCentreDistance;
// 2^63: the first double that no longer fits a signed 64-bit integer.
constexpr double kInt64End = 9223372036854775808.0;

// One accepted accessibility window.
struct AXWindow {
    AXElement element;
    std::string title;
    Rect frame;  // all zero when position or size could not be read
    bool minimized = false;
};

// One accepted window-server entry. Only the centre takes part in pairing.
struct CGWindowEntry {
    WindowNumber id = 0;
    // Points into the query's answer, which outlives the pairing; null when the entry has no name.
    const std::string* title = nullptr;
    Point centre;
};

const WindowServerValue* lookup(const WindowServerDictionary& dictionary, std::string_view key) {
    const auto it = dictionary.find(key);
    return it == dictionary.end() ? nullptr : &it->second;
}

// Integers are taken the way the platform's number bridging hands them over: an integer as it
// is, and a double only when it holds a whole number exactly (2.0 is 2, 2.5 is no integer).
// A boolean is not a number here, whatever its storage.
template <typename T>
std::optional<T> integerOf(const WindowServerValue* value) {
    if (!value) return std::nullopt;
    std::int64_t whole = 0;
    if (const auto* i = value->as<std::int64_t>()) {
        whole = *i;
    } else if (const auto* d = value->as<double>()) {
        if (!std::isfinite(*d) || std::trunc(*d) != *d || *d < -kInt64End || *d >= kInt64End)
            return std::nullopt;
        whole = static_cast<std::int64_t>(*d);
    } else {
        return std::nullopt;
    }
    if (!std::in_range<T>(whole)) return std::nullopt;
    return static_cast<T>(whole);
}

std::optional<double> finiteNumberOf(const WindowServerValue* value) {
    if (!value) return std::nullopt;
    if (const auto* d = value->as<double>())
        return std::isfinite(*d) ? std::optional<double>(*d) : std::nullopt;
    if (const auto* i = value->as<std::int64_t>()) return static_cast<double>(*i);
    return std::nullopt;
}

// The bounds dictionary as a rectangle, reduced to its centre. Bounds that are not finite would
// make every distance NaN, so such an entry counts as malformed.
std::optional<Point> centreOfBounds(const WindowServerValue* value) {
    const auto* bounds = value ? value->as<WindowServerDictionary>() : nullptr;
    if (!bounds) return std::nullopt;
    const auto x = finiteNumberOf(lookup(*bounds, WindowServer::kX));
    const auto y = finiteNumberOf(lookup(*bounds, WindowServer::kY));
    const auto width = finiteNumberOf(lookup(*bounds, WindowServer::kWidth));
    const auto height = finiteNumberOf(lookup(*bounds, WindowServer::kHeight));
    if (!x || !y || !width || !height) return std::nullopt;
    const Point centre = Rect(*x, *y, *width, *height).center();
    if (!std::isfinite(centre.x) || !std::isfinite(centre.y)) return std::nullopt;
    return centre;
}

std::optional<ProcessId> ownerOf(const WindowServerDictionary& entry) {
    return integerOf<ProcessId>(lookup(entry, WindowServer::kOwnerPID));
}

// The rest of an entry's checks, once its owner is known to be wanted. Layer 0 holds the
// ordinary application windows; menus, status items, the Dock and overlays sit on others.
// Number 0 is the null window, never a real one.
std::optional<CGWindowEntry> acceptEntry(const WindowServerDictionary& entry) {
    const auto layer = integerOf<std::int64_t>(lookup(entry, WindowServer::kLayer));
    if (!layer || *layer != 0) return std::nullopt;
    const auto number = integerOf<WindowNumber>(lookup(entry, WindowServer::kNumber));
    if (!number || *number == WindowServer::kNullWindow) return std::nullopt;
    const auto centre = centreOfBounds(lookup(entry, WindowServer::kBounds));
    if (!centre) return std::nullopt;
    const WindowServerValue* name = lookup(entry, WindowServer::kName);
    return CGWindowEntry{*number, name ? name->as<std::string>() : nullptr, *centre};
}

std::vector<CGWindowEntry> entriesFor(const std::optional<WindowServerArray>& list, ProcessId pid) {
    std::vector<CGWindowEntry> entries;
    if (!list) return entries;
    for (const auto& value : *list) {
        const auto* entry = value.as<WindowServerDictionary>();
        if (!entry || ownerOf(*entry) != pid) continue;
        if (auto accepted = acceptEntry(*entry)) entries.push_back(*accepted);
    }
    return entries;
}

// A double as a log line's integer: truncated like the platform's conversion, but total, so a
// frame of absurd size still logs instead of stopping the process.
std::int64_t logInteger(double value) {
    if (std::isnan(value)) return 0;
    if (value >= kInt64End) return std::numeric_limits<std::int64_t>::max();
    if (value < -kInt64End) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::string sizeText(const Rect& frame) {
    return std::to_string(logInteger(frame.width())) + "\u00d7" +
           std::to_string(logInteger(frame.height()));
}

Rect readFrame(const AXReader& reader, const AXElement& element) {
    const auto position = reader.point(element, "AXPosition");
    if (!position) return {};
    const auto size = reader.size(element, "AXSize");
    if (!size) return {};
    return Rect(*position, *size);
}

// The process's accepted accessibility windows, in its own order. Drops are logged only when
// log is given.
std::vector<AXWindow> readAXWindows(const AXReader& reader, ProcessId pid, const Log* log) {
    std::vector<AXWindow> windows;
    const AXElement app = reader.accessibility().createApplication(pid);
    const auto elements = reader.elements(app, "AXWindows");
    if (!elements) return windows;
    windows.reserve(elements->size());
    for (const auto& element : *elements) {
        auto subrole = reader.string(element, "AXSubrole").value_or(std::string());
        if (subrole != "AXStandardWindow" && subrole != "AXDialog") {
            // Title and frame are read only for the line: a dropped window needs nothing else.
            if (log && log->debugEnabled()) {
                log->debug("  drop non-window subrole=" + (subrole.empty() ? "none" : subrole) +
                           " \"" + reader.string(element, "AXTitle").value_or(std::string()) +
                           "\" " + sizeText(readFrame(reader, element)));
            }
            continue;
        }
        AXWindow window;
        window.minimized = reader.boolean(element, "AXMinimized").value_or(false);
        window.frame = readFrame(reader, element);
        // A minimised window may report a degenerate frame; a visible one that small is not a
        // window anyone could use.
        if (!window.minimized && !(window.frame.width() > 1 && window.frame.height() > 1)) continue;
        window.title = reader.string(element, "AXTitle").value_or(std::string());
        window.element = element;
        windows.push_back(std::move(window));
    }
    return windows;
}

// Finds each window's partner among the entries without looking at every entry: by exact
// centre first (the usual case, one window seen by both sides), else among the entries in the
// 3 x 3 square cells around the centre, cells twice as wide as the distance limit so that
// rounding cannot hide one within reach. Claimed entries leave the cells as they are met.
class EntryIndex {
public:
    explicit EntryIndex(const std::vector<CGWindowEntry>& pool)
        : pool_(pool), claimed_(pool.size(), false), unclaimed_(pool.size()) {
        exact_.reserve(pool.size());
        cells_.reserve(pool.size());
        for (std::size_t i = 0; i < pool.size(); ++i) {
            exact_[exactKey(pool[i].centre)].indices.push_back(i);
            cells_[{cellOf(pool[i].centre.x), cellOf(pool[i].centre.y)}].push_back(i);
        }
    }

    bool empty() const { return unclaimed_ == 0; }

    // The nearest unclaimed entry within the limit, the earlier among equal distances, claimed.
    std::optional<std::size_t> claimNearest(Point centre) {
        // Written so that a centre that is not finite is too far from everything.
        if (!(std::abs(centre.x) < kSearchable && std::abs(centre.y) < kSearchable)) {
            return std::isfinite(centre.x) && std::isfinite(centre.y) ? claim(scanAll(centre))
                                                                      : std::nullopt;
        }
        const auto same = exact_.find(exactKey(centre));
        if (same != exact_.end()) {
            Bucket& bucket = same->second;
            while (bucket.next < bucket.indices.size() && claimed_[bucket.indices[bucket.next]])
                ++bucket.next;
            if (bucket.next < bucket.indices.size()) return claim(bucket.indices[bucket.next]);
        }
        const std::int64_t cx = cellOf(centre.x);
        const std::int64_t cy = cellOf(centre.y);
        Best best;
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto cell = cells_.find({cx + dx, cy + dy});
                if (cell == cells_.end()) continue;
                std::erase_if(cell->second, [&](std::size_t i) { return claimed_[i]; });
                for (const std::size_t i : cell->second)
                    best.consider(i, distanceSquared(centre, pool_[i].centre));
            }
        }
        return claim(best.index);
    }

private:
    // Past this a centre's cell is no longer exact; such a window is compared with every entry.
    static constexpr double kSearchable = 4503599627370496.0;  // 2^52
    static constexpr double kCellSide = 2 * WindowService::kMaxCentreDistance;

    struct Bucket {
        std::vector<std::size_t> indices;
        std::size_t next = 0;  // those before are claimed
    };
    struct Best {
        std::optional<std::size_t> index;
        double distance = 0;
        void consider(std::size_t i, double d) {
            // Written so that a NaN distance counts as too far.
            if (!(d <= kMaxDistanceSquared)) return;
            if (!index || d < distance || (d == distance && i < *index)) {
                index = i;
                distance = d;
            }
        }
    };
    struct PairHash {
        template <typename A, typename B>
        std::size_t operator()(const std::pair<A, B>& p) const {
            return std::hash<A>()(p.first) * 0x9e3779b97f4a7c15ull ^ std::hash<B>()(p.second);
        }
    };

    static double distanceSquared(Point a, Point b) {
        const double dx = a.x - b.x;
        const double dy = a.y - b.y;
        return dx * dx + dy * dy;
    }
    // Adding zero makes -0 and 0 one key.
    static std::pair<double, double> exactKey(Point p) { return {p.x + 0.0, p.y + 0.0}; }
    static std::int64_t cellOf(double v) {
        constexpr double kLimit = 4611686018427387904.0;  // 2^62: neighbours stay in range
        return static_cast<std::int64_t>(std::clamp(std::floor(v / kCellSide), -kLimit, kLimit));
    }

    std::optional<std::size_t> scanAll(Point centre) const {
        Best best;
        for (std::size_t i = 0; i < pool_.size(); ++i) {
            if (!claimed_[i]) best.consider(i, distanceSquared(centre, pool_[i].centre));
        }
        return best.index;
    }
    std::optional<std::size_t> claim(std::optional<std::size_t> index) {
        if (index) {
            claimed_[*index] = true;
            --unclaimed_;
        }
        return index;
    }

    const std::vector<CGWindowEntry>& pool_;
    std::vector<bool> claimed_;
    std::size_t unclaimed_;
    std::unordered_map<std::pair<double, double>, Bucket, PairHash> exact_;
    std::unordered_map<std::pair<std::int64_t, std::int64_t>, std::vector<std::size_t>, PairHash>
        cells_;
};

// Pairs each visible accessibility window with the nearest unclaimed entry within the distance
// limit; earlier windows claim first, and among equal distances the earlier entry wins.
void match(std::vector<AXWindow>&& axWindows, const std::vector<CGWindowEntry>& pool, ProcessId pid,
           Accessibility& accessibility, std::vector<WindowInfo>& out) {
    EntryIndex index(pool);
    for (auto& window : axWindows) {
        if (window.minimized) {
            // Not on the on-screen list, so there is no number: a hash stands in as identity.
            const auto id = static_cast<std::uint32_t>(accessibility.hash(window.element) & 0xffff);
            out.push_back({id, WindowServer::kNullWindow, std::move(window.element),
                           std::move(window.title), window.frame, true, pid});
            continue;
        }
        if (index.empty()) continue;
        const auto best = index.claimNearest(window.frame.center());
        if (!best) continue;
        const CGWindowEntry& entry = pool[*best];
        std::string title =
            window.title.empty() && entry.title ? *entry.title : std::move(window.title);
        out.push_back({entry.id, entry.id, std::move(window.element), std::move(title),
                       window.frame, false, pid});
    }
}

// Cards and live captures are keyed by id, so ids must differ within one answer, yet a
// minimised window's 16-bit hash may equal a window number or another hash, and a malformed
// window list may repeat a number. A window number keeps its value where it first appears; every
// other id that is taken moves to the next free 16-bit value.
void makeIdsUnique(std::vector<WindowInfo>& windows) {
    std::unordered_set<std::uint32_t> taken;
    std::vector<WindowInfo*> movable;
    for (auto& window : windows) {
        if (window.isMinimized || !taken.insert(window.id).second) movable.push_back(&window);
    }
    for (WindowInfo* window : movable) {
        std::uint32_t id = window->id;
        for (std::uint32_t tried = 0; taken.contains(id) && tried <= 0xffff; ++tried)
            id = (id + 1) & 0xffff;
        while (taken.contains(id))  // all 65536 taken: only past them
            ++id;
        taken.insert(id);
        window->id = id;
    }
}

}  // namespace

WindowService::WindowService(const PlatformPorts& ports)
    : workspace_(&ports.workspace),
      windowServer_(&ports.windowServer),
      reader_(ports.accessibility),
      log_(ports.logger, "windows") {}

std::vector<WindowInfo> WindowService::windows(const RunningApplication& app) const {
    std::vector<RunningApplication> instances;
    // An empty identifier names no bundle; asking for it would gather unrelated processes.
    if (app.bundleIdentifier && !app.bundleIdentifier->empty())
        instances = workspace_->runningApplications(*app.bundleIdentifier);
    if (instances.empty()) instances.push_back(app);

    std::vector<WindowInfo> result;
    for (const auto& instance : instances) {
        const ProcessId pid = instance.processIdentifier;
        auto axWindows = readAXWindows(reader_, pid, &log_);
        // A fresh list per instance: each is as current as its accessibility windows.
        const auto list = windowServer_->copyWindowInfo(kListOptions, WindowServer::kNullWindow);
        match(std::move(axWindows), entriesFor(list, pid), pid, reader_.accessibility(), result);
    }
    makeIdsUnique(result);

    if (log_.debugEnabled()) {
        const std::string name =
            app.localizedName ? *app.localizedName : "pid " + std::to_string(app.processIdentifier);
        log_.debug(name + ": " + std::to_string(result.size()) + " window(s) across " +
                   std::to_string(instances.size()) + " instance(s)");
        for (std::size_t i = 0; i < result.size(); ++i) {
            const WindowInfo& w = result[i];
            log_.debug("  [" + std::to_string(i) + "] pid=" + std::to_string(w.ownerPID) + " \"" +
                       w.title + "\" @" + std::to_string(logInteger(w.frame.minX())) + "," +
                       std::to_string(logInteger(w.frame.minY())) + " " + sizeText(w.frame) +
                       " min=" + (w.isMinimized ? "true" : "false") +
                       " cgID=" + std::to_string(w.cgWindowID));
        }
    }
    return result;
}

std::vector<WindowInfo> WindowService::allWindows() const {
    auto apps = workspace_->runningApplications();
    std::erase_if(apps,
                  [](const RunningApplication& a) { return !a.isRegular() || a.isTerminated; });
    if (const auto front = workspace_->frontmostApplication()) {
        const ProcessId frontPID = front->processIdentifier;
        std::stable_partition(apps.begin(), apps.end(), [frontPID](const RunningApplication& a) {
            return a.processIdentifier == frontPID;
        });
    }

    // One snapshot of the window list serves every application: the same entries a query per
    // application would see, read and sorted by owner once instead of once per application.
    std::unordered_map<ProcessId, std::vector<CGWindowEntry>> pools;
    pools.reserve(apps.size());
    for (const auto& app : apps)
        pools.try_emplace(app.processIdentifier);
    const auto list = windowServer_->copyWindowInfo(kListOptions, WindowServer::kNullWindow);
    if (list) {
        for (const auto& value : *list) {
            const auto* entry = value.as<WindowServerDictionary>();
            if (!entry) continue;
            const auto owner = ownerOf(*entry);
            if (!owner) continue;
            const auto pool = pools.find(*owner);
            if (pool == pools.end()) continue;
            if (auto accepted = acceptEntry(*entry)) pool->second.push_back(*accepted);
        }
    }

    std::vector<WindowInfo> result;
    for (const auto& app : apps) {
        const ProcessId pid = app.processIdentifier;
        match(readAXWindows(reader_, pid, nullptr), pools[pid], pid, reader_.accessibility(),
              result);
    }
    std::erase_if(result, [](const WindowInfo& w) {
        return w.cgWindowID == WindowServer::kNullWindow && !w.isMinimized;
    });
    makeIdsUnique(result);
    return result;
}

}  // namespace vantorel
