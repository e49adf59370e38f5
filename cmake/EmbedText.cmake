# Compiles a text file into the target as `std::string_view SYMBOL()` in namespace vantorel,
# so the program needs no data files at run time.
function(vantorel_embed_text target input symbol)
    get_filename_component(abs "${input}" ABSOLUTE)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp")
    file(READ "${abs}" VANTOREL_EMBED_CONTENT)
    set(VANTOREL_EMBED_SYMBOL "${symbol}")
    configure_file("${PROJECT_SOURCE_DIR}/cmake/Embedded.cpp.in" "${out}" @ONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${abs}")
    target_sources(${target} PRIVATE "${out}")
endfunction()
