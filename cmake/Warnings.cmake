# Warnings are errors for everything we compile.
add_library(vantorel_warnings INTERFACE)
target_compile_options(vantorel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports std::variant storage as maybe-uninitialized after inlining (false positives
    # in libstdc++'s own code), which -Werror would turn into build failures at -O2.
    target_compile_options(vantorel_warnings INTERFACE -Wno-maybe-uninitialized)
endif()
