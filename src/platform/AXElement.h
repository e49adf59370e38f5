#pragma once

#include <memory>

namespace vantorel {

// What an adapter keeps behind an accessibility element (the simulated node, or a retained
// platform reference). The core never looks inside.
class AXElementRef {
public:
    virtual ~AXElementRef() = default;
};

// An accessibility element: an opaque, shared, comparable handle. A default-constructed handle
// names no element.
class AXElement {
public:
    AXElement() = default;
    explicit AXElement(std::shared_ptr<AXElementRef> ref) : ref_(std::move(ref)) {}

    explicit operator bool() const { return ref_ != nullptr; }
    AXElementRef* get() const { return ref_.get(); }

    friend bool operator==(const AXElement& a, const AXElement& b) { return a.ref_ == b.ref_; }

private:
    std::shared_ptr<AXElementRef> ref_;
};

}  // namespace vantorel
