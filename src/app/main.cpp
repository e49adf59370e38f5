#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/Gallery.h"
#include "app/Tour.h"

namespace {

void printUsage(std::ostream& out) {
    out << "Usage: vantorel --tour [DIR] | --gallery DIR\n"
           "  --tour [DIR]  drive the system over the simulated desktop and print its log;\n"
           "                the tour's folders are created in DIR (default: a temporary folder)\n"
           "  --gallery DIR draw the preview panel in each of its states as PNG files in DIR\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--tour") == 0) {
        std::string root;
        if (argc >= 3) {
            root = std::filesystem::absolute(argv[2]).lexically_normal().string();
        } else {
            root = (std::filesystem::temp_directory_path() / "vantorel-tour").string();
        }
        return vantorel::Tour(std::cout, root).run();
    }
    if (argc >= 3 && std::strcmp(argv[1], "--gallery") == 0) {
        return vantorel::Gallery(std::cout, argv[2]).run(argc, argv);
    }
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(std::cout);
        return 0;
    }
    printUsage(std::cerr);
    return 2;
}
