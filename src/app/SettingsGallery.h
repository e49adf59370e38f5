#pragma once

#include <QString>

#include <ostream>

namespace vantorel {

// The gallery's pictures of the settings window (light, dark, reduced transparency; its top and
// its end) and of every welcome page.
class SettingsGallery {
public:
    // The number of pictures written to `directory`, each path printed to out; -1 on a failure.
    static int run(const QString& directory, std::ostream& out);
};

}  // namespace vantorel
