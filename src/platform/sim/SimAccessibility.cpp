#include "platform/sim/SimAccessibility.h"

#include <string>

namespace vantorel {

SimAXNode* SimAccessibility::node(const AXElement& element) {
    // Only this adapter hands out elements to the core, so every live handle is one of ours.
    return dynamic_cast<SimAXNode*>(element.get());
}

bool SimAccessibility::isProcessTrusted(bool prompt) {
    if (prompt && !trusted_) ++promptCount_;
    return trusted_;
}

std::shared_ptr<SimAXNode> SimAccessibility::newNode() {
    // Spread hashes out so that their low 16 bits differ, like real element hashes.
    nextHash_ += 0x9e37;
    return SimAXNode::make(nextHash_);
}

void SimAccessibility::setApplicationRoot(ProcessId pid, std::shared_ptr<SimAXNode> root) {
    roots_[pid] = std::move(root);
}

void SimAccessibility::removeApplication(ProcessId pid) {
    const auto it = roots_.find(pid);
    if (it == roots_.end()) return;
    // Handles still held by callers now answer like those of a process that has gone.
    it->second->failAll(AXError::invalidUIElement);
    roots_.erase(it);
}

std::shared_ptr<SimAXNode> SimAccessibility::applicationRoot(ProcessId pid) const {
    const auto it = roots_.find(pid);
    return it == roots_.end() ? nullptr : it->second;
}

AXElement SimAccessibility::createApplication(ProcessId pid) {
    if (auto root = applicationRoot(pid)) return root->element();
    auto orphan = newNode();
    orphan->failAll(AXError::cannotComplete);
    return orphan->element();
}

AXResult SimAccessibility::copyAttributeValue(const AXElement& element,
                                              std::string_view attribute) {
    ++readCount_;
    if (!trusted_) return AXResult::failed(AXError::apiDisabled);
    SimAXNode* n = node(element);
    if (!n) return AXResult::failed(AXError::illegalArgument);
    return n->read(std::string(attribute));
}

AXNamesResult SimAccessibility::copyAttributeNames(const AXElement& element) {
    if (!trusted_) return {AXError::apiDisabled, {}};
    SimAXNode* n = node(element);
    if (!n) return {AXError::illegalArgument, {}};
    if (n->failure()) return {*n->failure(), {}};
    return {AXError::success, n->attributeNames()};
}

AXError SimAccessibility::setAttributeValue(const AXElement& element, std::string_view attribute,
                                            const AXValue& value) {
    if (!trusted_) return AXError::apiDisabled;
    SimAXNode* n = node(element);
    if (!n) return AXError::illegalArgument;
    return n->write(std::string(attribute), value);
}

AXError SimAccessibility::performAction(const AXElement& element, std::string_view action) {
    if (!trusted_) return AXError::apiDisabled;
    SimAXNode* n = node(element);
    if (!n) return AXError::illegalArgument;
    return n->perform(std::string(action));
}

std::uint64_t SimAccessibility::hash(const AXElement& element) {
    const SimAXNode* n = node(element);
    return n ? n->hash() : 0;
}

}  // namespace vantorel
