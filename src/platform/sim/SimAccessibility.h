#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/Accessibility.h"
#include "platform/sim/SimAXNode.h"

namespace vantorel {

// The accessibility interface of the simulated desktop: one tree per process.
class SimAccessibility final : public Accessibility {
public:
    bool isProcessTrusted(bool prompt) override;
    AXElement createApplication(ProcessId pid) override;
    AXResult copyAttributeValue(const AXElement& element, std::string_view attribute) override;
    AXNamesResult copyAttributeNames(const AXElement& element) override;
    AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                              const AXValue& value) override;
    AXError performAction(const AXElement& element, std::string_view action) override;
    std::uint64_t hash(const AXElement& element) override;

    // Control side.
    void setTrusted(bool trusted) { trusted_ = trusted; }
    int promptCount() const { return promptCount_; }
    std::shared_ptr<SimAXNode> newNode();
    void setApplicationRoot(ProcessId pid, std::shared_ptr<SimAXNode> root);
    void removeApplication(ProcessId pid);
    std::shared_ptr<SimAXNode> applicationRoot(ProcessId pid) const;
    // Counts attribute reads, so tests can tell whether the tree was walked.
    std::uint64_t readCount() const { return readCount_; }

private:
    static SimAXNode* node(const AXElement& element);

    bool trusted_ = true;
    int promptCount_ = 0;
    std::uint64_t nextHash_ = 0x5a17;
    std::uint64_t readCount_ = 0;
    std::map<ProcessId, std::shared_ptr<SimAXNode>> roots_;
};

}  // namespace vantorel
