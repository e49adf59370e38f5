#include "platform/sim/SimWindows.h"

#include <algorithm>

namespace vantorel {

WindowId SimWindows::add(ProcessId pid, const SimWindowSpec& spec) {
    if (!accessibility_.applicationRoot(pid)) return 0;
    const WindowId id = server_.allocateNumber();

    SimWindow window{id, pid, spec, accessibility_.newNode(), nullptr};
    SimAXNode& node = *window.node;
    node.set("AXRole", AXValue{std::string("AXWindow")});
    if (!spec.subrole.empty()) node.set("AXSubrole", AXValue{spec.subrole});
    node.set("AXTitle", AXValue{spec.title});
    node.set("AXPosition", AXValue{spec.frame.origin});
    node.set("AXSize", AXValue{spec.frame.size});
    node.set("AXMinimized", AXValue{spec.minimized});
    // Handlers name the window by id, never hold its node: the nodes own the handlers.
    node.setAction("AXRaise", [this, id] {
        raise(id);
        return AXError::success;
    });
    node.setWriteHook([this, id](const std::string& attribute, const AXValue& value) {
        return write(id, attribute, value);
    });

    const bool dialog = spec.subrole == "AXDialog";
    if (dialog || spec.subrole == "AXStandardWindow") {
        window.button = accessibility_.newNode();
        const std::string kind = dialog ? "AXCancelButton" : "AXCloseButton";
        window.button->set("AXRole", AXValue{std::string("AXButton")});
        window.button->set("AXSubrole", AXValue{kind});
        window.button->setAction("AXPress", [this, id] {
            close(id);
            return AXError::success;
        });
        node.set(kind, AXValue{window.button->element()});
    }

    if (spec.hasWindowServerEntry) {
        const RunningApplication* app = workspace_.find(pid);
        const std::string owner = app && app->localizedName ? *app->localizedName : "";
        SimWindowServer::Record record;
        record.info = SimWindowServer::describe(pid, owner, id, spec.layer,
                                                spec.serverBounds.value_or(spec.frame),
                                                spec.serverTitle.value_or(spec.title));
        server_.add(id, std::move(record));
    }

    const auto& stored = windows_.emplace(id, std::move(window)).first->second;
    order_[pid].push_back(id);
    sync(stored);
    publish(pid);
    return id;
}

void SimWindows::close(WindowId id) {
    const auto it = windows_.find(id);
    if (it == windows_.end()) return;
    const ProcessId pid = it->second.pid;
    server_.remove(id);
    it->second.node->failAll(AXError::invalidUIElement);
    if (it->second.button) it->second.button->failAll(AXError::invalidUIElement);
    std::erase(order_[pid], id);
    windows_.erase(it);
    publish(pid);
}

void SimWindows::removeAll(ProcessId pid) {
    const auto it = order_.find(pid);
    if (it != order_.end()) {
        for (const WindowId id : it->second) {
            server_.remove(id);
            auto& window = windows_.at(id);
            window.node->failAll(AXError::invalidUIElement);
            if (window.button) window.button->failAll(AXError::invalidUIElement);
            windows_.erase(id);
        }
        order_.erase(it);
    }
    hidden_.erase(pid);
}

void SimWindows::setMinimized(WindowId id, bool minimized) {
    const auto it = windows_.find(id);
    if (it == windows_.end()) return;
    SimWindow& window = it->second;
    const bool restoring = window.spec.minimized && !minimized;
    window.spec.minimized = minimized;
    window.node->set("AXMinimized", AXValue{minimized});
    sync(window);
    // A restored window comes back in front.
    if (restoring) raise(id);
}

void SimWindows::setOnScreen(WindowId id, bool onScreen) {
    const auto it = windows_.find(id);
    if (it == windows_.end()) return;
    it->second.spec.onScreen = onScreen;
    sync(it->second);
}

void SimWindows::raise(WindowId id) {
    const auto it = windows_.find(id);
    if (it == windows_.end()) return;
    auto& order = order_[it->second.pid];
    const auto pos = std::find(order.begin(), order.end(), id);
    if (pos != order.end()) std::rotate(order.begin(), pos, pos + 1);
    server_.bringToFront(id);
    publish(it->second.pid);
}

void SimWindows::setApplicationHidden(ProcessId pid, bool hidden) {
    if (hidden) {
        hidden_.insert(pid);
    } else {
        hidden_.erase(pid);
    }
    if (auto root = accessibility_.applicationRoot(pid)) root->set("AXHidden", AXValue{hidden});
    for (const WindowId id : of(pid))
        sync(windows_.at(id));
}

const SimWindow* SimWindows::find(WindowId id) const {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

std::shared_ptr<SimAXNode> SimWindows::node(WindowId id) const {
    const SimWindow* window = find(id);
    return window ? window->node : nullptr;
}

std::vector<WindowId> SimWindows::of(ProcessId pid) const {
    const auto it = order_.find(pid);
    return it == order_.end() ? std::vector<WindowId>{} : it->second;
}

void SimWindows::publish(ProcessId pid) {
    auto root = accessibility_.applicationRoot(pid);
    if (!root) return;
    AXArray array;
    const auto it = order_.find(pid);
    if (it != order_.end()) {
        array.reserve(it->second.size());
        for (const WindowId id : it->second)
            array.push_back(AXValue{windows_.at(id).node->element()});
    }
    root->set("AXWindows", AXValue{array});
    root->set("AXChildren", AXValue{std::move(array)});
}

void SimWindows::sync(const SimWindow& window) {
    // Only the on-screen flag follows the window: a planted description stays as planted.
    if (auto* record = server_.record(window.id)) {
        record->onScreen =
            window.spec.onScreen && !window.spec.minimized && hidden_.count(window.pid) == 0;
    }
}

AXError SimWindows::write(WindowId id, const std::string& attribute, const AXValue& value) {
    const auto it = windows_.find(id);
    if (it == windows_.end()) return AXError::invalidUIElement;
    if (attribute == "AXMinimized") {
        const bool* minimized = value.as<bool>();
        if (!minimized) return AXError::illegalArgument;
        setMinimized(id, *minimized);
        return AXError::success;
    }
    it->second.node->set(attribute, value);
    return AXError::success;
}

}  // namespace vantorel
