#pragma once

#include <ostream>
#include <string>

namespace vantorel {

// Draws the preview panel in each of its states to PNG files, so its look can be checked
// without a desktop: every layout at every card size, and the states a user meets (images still
// on their way, a minimised window, the hover controls, reduced transparency, the large layout
// with one card and with many); then the switcher, the folder panel, the settings window and
// the welcome pages.
class Gallery {
public:
    Gallery(std::ostream& out, std::string directory)
        : out_(out), directory_(std::move(directory)) {}
    // Creates the application object itself; 0 when every picture was written.
    int run(int argc, char** argv);

private:
    std::ostream& out_;
    std::string directory_;
};

}  // namespace vantorel
