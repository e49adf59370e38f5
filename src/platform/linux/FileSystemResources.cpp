#include "platform/linux/FileSystemResources.h"

#include <array>
#include <filesystem>
#include <string_view>

namespace vantorel {

std::optional<ResourceValues> FileSystemResources::resourceValues(const Url& url) {
    namespace fs = std::filesystem;
    if (!url.isFileUrl() || url.path().empty()) return std::nullopt;
    std::error_code ec;
    const fs::path path(url.path());
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status)) return std::nullopt;

    ResourceValues values;
    values.isDirectory = fs::is_directory(status);
    const std::string extension = path.extension().string();
    static constexpr std::array<std::string_view, 7> kPackageExtensions = {
        ".app", ".bundle", ".framework", ".plugin", ".kext", ".pkg", ".rtfd"};
    bool package = false;
    for (auto ext : kPackageExtensions)
        package = package || extension == ext;
    values.isPackage = *values.isDirectory && package;
    values.isApplication = *values.isDirectory && extension == ".app";
    return values;
}

}  // namespace vantorel
