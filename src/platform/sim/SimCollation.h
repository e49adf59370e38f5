#pragma once

#include "platform/Collation.h"

namespace vantorel {

// The simulated desktop's collation: ASCII letters without case, runs of digits by value, every
// other byte as it is. A real one can stand behind it.
class SimCollation final : public Collation {
public:
    explicit SimCollation(Collation* fallback = nullptr) : fallback_(fallback) {}
    void setFallback(Collation* fallback) { fallback_ = fallback; }

    std::string sortKey(std::string_view text) override;

private:
    Collation* fallback_;
};

}  // namespace vantorel
