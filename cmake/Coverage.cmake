# Line and branch coverage with gcov: `make coverage` builds a separate folder with it on.
option(VANTOREL_COVERAGE "Instrument everything for gcov" OFF)
if(VANTOREL_COVERAGE)
    add_compile_options(--coverage -O0 -g)
    add_link_options(--coverage)
endif()
