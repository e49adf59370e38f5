#include "platform/sim/SimAXNode.h"

namespace vantorel {

AXResult SimAXNode::read(const std::string& attribute) const {
    if (failAll_) return AXResult::failed(*failAll_);
    const auto it = attributes_.find(attribute);
    if (it == attributes_.end()) return AXResult::failed(AXError::attributeUnsupported);
    return it->second;
}

std::vector<std::string> SimAXNode::attributeNames() const {
    std::vector<std::string> names;
    names.reserve(attributes_.size());
    for (const auto& [name, result] : attributes_)
        names.push_back(name);
    return names;
}

void SimAXNode::setChildren(const std::vector<std::shared_ptr<SimAXNode>>& children) {
    AXArray array;
    array.reserve(children.size());
    for (const auto& child : children)
        array.push_back(AXValue{child->element()});
    set("AXChildren", AXValue{std::move(array)});
}

AXError SimAXNode::perform(const std::string& action) const {
    if (failAll_) return *failAll_;
    const auto it = actions_.find(action);
    if (it == actions_.end()) return AXError::actionUnsupported;
    return it->second ? it->second() : AXError::success;
}

AXError SimAXNode::write(const std::string& attribute, const AXValue& value) {
    if (failAll_) return *failAll_;
    if (writeHook_) return writeHook_(attribute, value);
    set(attribute, value);
    return AXError::success;
}

}  // namespace vantorel
