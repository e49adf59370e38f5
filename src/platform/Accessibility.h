#pragma once

#include <cstdint>
#include <string_view>

#include "platform/AXValue.h"
#include "platform/ProcessId.h"

namespace vantorel {

// Port: the platform's accessibility interface. Every call is synchronous on the main thread
// and may fail; nothing here interprets the answers.
class Accessibility {
public:
    virtual ~Accessibility() = default;
    // Whether this process is trusted; with prompt set the platform may ask the user.
    virtual bool isProcessTrusted(bool prompt) = 0;
    // The root element of an application process (it exists even if the process does not).
    virtual AXElement createApplication(ProcessId pid) = 0;
    virtual AXResult copyAttributeValue(const AXElement& element, std::string_view attribute) = 0;
    virtual AXNamesResult copyAttributeNames(const AXElement& element) = 0;
    virtual AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                                      const AXValue& value) = 0;
    virtual AXError performAction(const AXElement& element, std::string_view action) = 0;
    // A stable hash of the element, equal for handles of the same element.
    virtual std::uint64_t hash(const AXElement& element) = 0;
};

}  // namespace vantorel
