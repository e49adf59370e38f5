#pragma once

#include <ostream>
#include <string>

namespace vantorel {

// Runs the system on the default simulated world, driven by a script, and prints the log:
// what a person would see happen, without a display.
class Tour {
public:
    Tour(std::ostream& out, std::string root) : out_(out), root_(std::move(root)) {}
    // 0 on success; otherwise the reason has been printed.
    int run();

private:
    std::ostream& out_;
    std::string root_;
};

}  // namespace vantorel
