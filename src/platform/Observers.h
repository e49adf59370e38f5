#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vantorel {

// The change notification of an observable model: observers subscribe and are told of every
// event until their subscription goes away. Either side may be destroyed first, and an observer
// may subscribe or unsubscribe (itself or others) while being told.
template <typename Event>
class Observers {
    struct Entry {
        std::uint64_t id;
        std::function<void(const Event&)> observer;
    };
    struct Registry {
        std::uint64_t nextId = 1;
        std::vector<Entry> entries;
    };

public:
    // Ends its observation when destroyed or reset.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        Subscription(Subscription&& other) noexcept
            : registry_(std::move(other.registry_)), id_(std::exchange(other.id_, 0)) {}
        Subscription& operator=(Subscription&& other) noexcept {
            if (this != &other) {
                reset();
                registry_ = std::move(other.registry_);
                id_ = std::exchange(other.id_, 0);
            }
            return *this;
        }
        ~Subscription() { reset(); }

        void reset() {
            if (const std::shared_ptr<Registry> registry = registry_.lock()) {
                std::erase_if(registry->entries, [&](const Entry& e) { return e.id == id_; });
            }
            registry_.reset();
            id_ = 0;
        }
        bool isActive() const { return !registry_.expired() && id_ != 0; }

    private:
        friend class Observers;
        Subscription(std::weak_ptr<Registry> registry, std::uint64_t id)
            : registry_(std::move(registry)), id_(id) {}

        std::weak_ptr<Registry> registry_;
        std::uint64_t id_ = 0;
    };

    [[nodiscard]] Subscription subscribe(std::function<void(const Event&)> observer) {
        if (!observer) return {};
        const std::uint64_t id = registry_->nextId++;
        registry_->entries.push_back({id, std::move(observer)});
        return Subscription(registry_, id);
    }

    void notify(const Event& event) const {
        // A snapshot, so that changes to the list during the calls neither invalidate the loop
        // nor reach observers added meanwhile; one removed meanwhile is skipped.
        const std::vector<Entry> snapshot = registry_->entries;
        for (const Entry& entry : snapshot) {
            if (isSubscribed(entry.id)) entry.observer(event);
        }
    }

    std::size_t size() const { return registry_->entries.size(); }

private:
    bool isSubscribed(std::uint64_t id) const {
        for (const Entry& e : registry_->entries) {
            if (e.id == id) return true;
        }
        return false;
    }

    std::shared_ptr<Registry> registry_ = std::make_shared<Registry>();
};

}  // namespace vantorel
