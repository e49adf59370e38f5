# Warnings are errors for everything we compile.
add_library(vantorel_warnings INTERFACE)
target_compile_options(vantorel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports std::variant storage as maybe-uninitialized, and string concatenation as
    # overlapping memcpy (-Wrestrict, GCC bug 105329), after inlining at -O2/-O3: false positives
    # in libstdc++'s own code that -Werror would turn into build failures.
    target_compile_options(vantorel_warnings INTERFACE -Wno-maybe-uninitialized -Wno-restrict)
endif()
