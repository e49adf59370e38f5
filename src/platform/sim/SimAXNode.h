#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/AXValue.h"

namespace vantorel {

// One element of a simulated accessibility tree. Tests plant any answer here, including
// values of the wrong type and error codes, to reproduce what real applications hand back.
class SimAXNode final : public AXElementRef, public std::enable_shared_from_this<SimAXNode> {
public:
    explicit SimAXNode(std::uint64_t hashValue) : hash_(hashValue) {}

    static std::shared_ptr<SimAXNode> make(std::uint64_t hashValue) {
        return std::make_shared<SimAXNode>(hashValue);
    }

    AXElement element() { return AXElement(shared_from_this()); }
    std::uint64_t hash() const { return hash_; }

    void set(const std::string& attribute, AXValue value) {
        attributes_[attribute] = AXResult::of(std::move(value));
    }
    void setResult(const std::string& attribute, AXResult result) {
        attributes_[attribute] = std::move(result);
    }
    void remove(const std::string& attribute) { attributes_.erase(attribute); }
    AXResult read(const std::string& attribute) const;
    std::vector<std::string> attributeNames() const;

    void setChildren(const std::vector<std::shared_ptr<SimAXNode>>& children);

    // Every call on this element fails with this error (a dead process, a hung application).
    void failAll(std::optional<AXError> error) { failAll_ = error; }
    std::optional<AXError> failure() const { return failAll_; }

    // Actions: a missing entry is unsupported; the handler's answer is the action's result.
    void setAction(const std::string& action, std::function<AXError()> handler) {
        actions_[action] = std::move(handler);
    }
    AXError perform(const std::string& action) const;

    // Attribute writes go through this hook when set; otherwise they are stored as given.
    void setWriteHook(std::function<AXError(const std::string&, const AXValue&)> hook) {
        writeHook_ = std::move(hook);
    }
    AXError write(const std::string& attribute, const AXValue& value);

private:
    std::uint64_t hash_;
    std::map<std::string, AXResult, std::less<>> attributes_;
    std::map<std::string, std::function<AXError()>, std::less<>> actions_;
    std::function<AXError(const std::string&, const AXValue&)> writeHook_;
    std::optional<AXError> failAll_;
};

}  // namespace vantorel
