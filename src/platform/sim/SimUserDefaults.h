#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/UserDefaults.h"

namespace vantorel {

// An in-memory defaults domain.
class SimDefaultsSuite final : public DefaultsSuite {
public:
    std::optional<DefaultsValue> object(std::string_view key) const override;
    void setObject(std::string_view key, DefaultsValue value) override;
    void removeObject(std::string_view key) override;

    const std::map<std::string, DefaultsValue, std::less<>>& values() const { return values_; }
    int writeCount() const { return writes_; }

private:
    std::map<std::string, DefaultsValue, std::less<>> values_;
    int writes_ = 0;
};

// The simulated user defaults store: the application's domain and named suites in memory.
class SimUserDefaults final : public UserDefaults {
public:
    SimUserDefaults();
    DefaultsSuite& standard() override { return *standard_; }
    std::shared_ptr<DefaultsSuite> suite(std::string_view name) override;

    // Control side: the suite as a test sees it (created on first use).
    SimDefaultsSuite& domain(const std::string& name);
    SimDefaultsSuite& standardDomain() { return *standard_; }
    // A domain that cannot be opened answers none.
    void setUnopenable(const std::string& name, bool unopenable);

private:
    std::shared_ptr<SimDefaultsSuite> standard_;
    std::map<std::string, std::shared_ptr<SimDefaultsSuite>, std::less<>> suites_;
    std::set<std::string, std::less<>> unopenable_;
};

}  // namespace vantorel
