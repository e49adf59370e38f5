#pragma once

#include "platform/LoginItems.h"

namespace vantorel {

// The login-item service of the simulated desktop: remembers the status, counts the calls, and
// can be told to refuse them.
class SimLoginItems final : public LoginItems {
public:
    Status status() override { return status_; }
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;

    void setStatus(Status status) { status_ = status; }
    void failWith(std::optional<std::string> error) { failure_ = std::move(error); }
    int calls() const { return calls_; }

private:
    Status status_ = Status::notRegistered;
    std::optional<std::string> failure_;
    int calls_ = 0;
};

}  // namespace vantorel
