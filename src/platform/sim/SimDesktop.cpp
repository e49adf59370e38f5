#include "platform/sim/SimDesktop.h"

#include <algorithm>

namespace vantorel {
namespace {

constexpr double kTileGap = 4;
constexpr double kSeparatorThickness = 16;
// Room between the tiles and the screen edge for the Dock's glass and its running dots.
constexpr double kDockMargin = 12;
constexpr double kMenuBarHeight = 25;

}  // namespace

SimDesktop::SimDesktop() {
    setScreens({Rect(0, 0, 1728, 1117)});
    dockDefaults().setObject("orientation", std::string("bottom"));
    keyEvents.setTrustCheck([this] { return accessibility.isProcessTrusted(false); });
}

PlatformPorts SimDesktop::ports() {
    return PlatformPorts{accessibility, workspace,    screens,    pointer,
                         defaults,      files,        collation,  scheduler,
                         logger,        windowServer, keyEvents,  permissionServices,
                         capture,       scripting,    eventStore, userCalendar};
}

ProcessId SimDesktop::launch(const SimAppSpec& spec) {
    RunningApplication app;
    app.processIdentifier = nextPid_++;
    app.bundleIdentifier = spec.bundleIdentifier;
    app.localizedName = spec.name.empty() ? std::nullopt : std::optional<std::string>(spec.name);
    if (spec.bundlePath) app.bundleURL = Url::fromPath(*spec.bundlePath);
    app.activationPolicy = spec.activationPolicy;
    app.icon = spec.icon;
    workspace.add(app);

    auto root = accessibility.newNode();
    root->set("AXRole", AXValue{std::string("AXApplication")});
    root->set("AXTitle", AXValue{spec.name});
    root->setChildren({});
    accessibility.setApplicationRoot(app.processIdentifier, root);
    return app.processIdentifier;
}

void SimDesktop::terminate(ProcessId pid) {
    windows.removeAll(pid);
    workspace.remove(pid);
    accessibility.removeApplication(pid);
    if (dockPid_ == pid) {
        dockPid_.reset();
        dockRoot_.reset();
        dockList_.reset();
        tileNodes_.clear();
    }
}

void SimDesktop::setScreens(std::vector<Rect> frames) {
    std::vector<ScreenInfo> infos;
    for (const auto& f : frames)
        infos.push_back({f, f});
    screens.setScreens(std::move(infos));
    if (dockPid_) rebuildDockTree();
}

double SimDesktop::primaryHeight() {
    const auto list = screens.screens();
    return list.empty() ? 0 : list.front().frame.height();
}

void SimDesktop::setDockTiles(std::vector<SimDockTileSpec> tiles) {
    tiles_ = std::move(tiles);
    if (dockPid_) rebuildDockTree();
}

void SimDesktop::setDockOrientation(const std::string& orientation) {
    dockDefaults().setObject("orientation", orientation);
    if (dockPid_) rebuildDockTree();
}

void SimDesktop::setDockTileSize(double size) {
    tileSize_ = size;
    if (dockPid_) rebuildDockTree();
}

void SimDesktop::launchDock() {
    if (dockPid_) return;
    SimAppSpec spec;
    spec.name = "Dock";
    spec.bundleIdentifier = kDockBundleIdentifier;
    spec.bundlePath = "/System/Library/CoreServices/Dock.app";
    spec.activationPolicy = RunningApplication::kPolicyProhibited;
    dockPid_ = launch(spec);
    rebuildDockTree();
}

void SimDesktop::quitDock() {
    if (dockPid_) terminate(*dockPid_);
}

void SimDesktop::restartDock() {
    quitDock();
    launchDock();
}

std::shared_ptr<SimAXNode> SimDesktop::dockTile(std::size_t index) const {
    return index < tileNodes_.size() ? tileNodes_[index] : nullptr;
}

Rect SimDesktop::dockTileFrame(std::size_t index) const {
    return index < tileFrames_.size() ? tileFrames_[index] : Rect{};
}

void SimDesktop::addPersistentFolder(const std::string& label, const std::string& urlString) {
    auto& dock = dockDefaults();
    DefaultsArray others;
    if (auto existing = dock.object("persistent-others")) {
        if (const auto* array = existing->as<DefaultsArray>()) others = *array;
    }
    DefaultsDictionary fileData{{"_CFURLString", urlString}, {"_CFURLStringType", 15}};
    DefaultsDictionary tileData{{"file-label", label}, {"file-data", fileData}};
    others.push_back(DefaultsDictionary{{"tile-data", tileData}, {"tile-type", "directory-tile"}});
    dock.setObject("persistent-others", std::move(others));
}

void SimDesktop::activateFrontWindowOwner() {
    for (const WindowNumber number : windowServer.order()) {
        const SimWindow* window = windows.find(number);
        const auto* record = windowServer.record(number);
        if (window && record && record->onScreen && window->spec.layer == 0) {
            workspace.setFrontmost(window->pid);
            return;
        }
    }
}

void SimDesktop::movePointerAX(Point ax, bool overOwnWindow) {
    pointer.moveTo({ax.x, primaryHeight() - ax.y}, overOwnWindow);
}

ImageRef SimDesktop::makeIcon(std::uint32_t argb, int side) {
    auto image = std::make_shared<Image>();
    image->width = side;
    image->height = side;
    image->pixels.assign(static_cast<std::size_t>(side) * static_cast<std::size_t>(side),
                         argb | 0xff000000u);
    return image;
}

std::vector<Rect> SimDesktop::layoutTiles() {
    // Without a screen the Dock has nowhere to lay out: every tile is still there, without size.
    const auto list = screens.screens();
    if (list.empty()) return std::vector<Rect>(tiles_.size());
    std::vector<Rect> frames;
    const Rect screen = list.front().frame;
    std::string orientation = "bottom";
    if (auto value = dockDefaults().object("orientation")) {
        if (const auto* s = value->as<std::string>()) orientation = *s;
    }
    const bool vertical = orientation == "left" || orientation == "right";

    double length = 0;
    for (const auto& tile : tiles_) {
        length += (tile.kind == SimDockTileSpec::Kind::separator ? kSeparatorThickness : tileSize_);
    }
    if (!tiles_.empty()) length += kTileGap * static_cast<double>(tiles_.size() - 1);

    // Accessibility coordinates: top-left of the primary screen, y downward.
    double along = ((vertical ? screen.height() : screen.width()) - length) / 2;
    for (const auto& tile : tiles_) {
        const double extent =
            tile.kind == SimDockTileSpec::Kind::separator ? kSeparatorThickness : tileSize_;
        if (!vertical) {
            frames.emplace_back(along, screen.height() - kDockMargin - tileSize_, extent,
                                tileSize_);
        } else if (orientation == "left") {
            frames.emplace_back(kDockMargin, along, tileSize_, extent);
        } else {
            frames.emplace_back(screen.width() - kDockMargin - tileSize_, along, tileSize_, extent);
        }
        along += extent + kTileGap;
    }

    // The Dock takes its strip out of the primary screen's visible frame.
    auto& infos = screens.mutableScreens();
    const double strip = tileSize_ + 2 * kDockMargin;
    Rect visible(screen.minX(), screen.minY(), screen.width(), screen.height() - kMenuBarHeight);
    if (!vertical) {
        visible =
            Rect(visible.minX(), visible.minY() + strip, visible.width(), visible.height() - strip);
    } else if (orientation == "left") {
        visible =
            Rect(visible.minX() + strip, visible.minY(), visible.width() - strip, visible.height());
    } else {
        visible = Rect(visible.minX(), visible.minY(), visible.width() - strip, visible.height());
    }
    infos.front().visibleFrame = visible;
    return frames;
}

void SimDesktop::rebuildDockTree() {
    if (!dockPid_) return;
    dockRoot_ = accessibility.applicationRoot(*dockPid_);
    if (!dockRoot_) return;
    dockList_ = accessibility.newNode();
    dockList_->set("AXRole", AXValue{std::string("AXList")});
    dockList_->set("AXTitle", AXValue{std::string("Dock")});

    tileFrames_ = layoutTiles();
    tileNodes_.clear();
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        const auto& spec = tiles_[i];
        auto node = accessibility.newNode();
        node->set("AXRole", AXValue{std::string("AXDockItem")});
        switch (spec.kind) {
            case SimDockTileSpec::Kind::application:
                node->set("AXSubrole", AXValue{std::string("AXApplicationDockItem")});
                break;
            case SimDockTileSpec::Kind::separator:
                node->set("AXSubrole", AXValue{std::string("AXSeparatorDockItem")});
                break;
            case SimDockTileSpec::Kind::folder:
                node->set("AXSubrole", AXValue{std::string("AXFolderDockItem")});
                break;
        }
        node->set("AXTitle", AXValue{spec.title});
        node->set("AXPosition", AXValue{tileFrames_[i].origin});
        node->set("AXSize", AXValue{tileFrames_[i].size});
        if (spec.url) {
            if (auto url = Url::parse(*spec.url)) {
                node->set("AXURL", AXValue{*url});
            } else {
                node->set("AXURL", AXValue{*spec.url});
            }
        }
        tileNodes_.push_back(node);
    }
    dockList_->setChildren(tileNodes_);

    // The Dock's own window sits beside the list, as on the platform.
    auto window = accessibility.newNode();
    window->set("AXRole", AXValue{std::string("AXWindow")});
    dockRoot_->setChildren({window, dockList_});
}

}  // namespace vantorel
