#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

// A new folder for one test, gone with it. ctest runs tests as parallel processes, so a folder
// with a fixed name would be shared and emptied under another test's feet.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Empty when no folder could be made; tests check it before use.
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
