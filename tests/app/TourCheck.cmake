# Runs `vantorel --tour` into a fresh folder and checks that the script went the whole way (the
# lines below appear in this order) and that it wrote a readable picture of the screen at each
# step.
foreach(name VANTOREL DIR EXPECTED)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "TourCheck needs -D${name}=...")
    endif()
endforeach()

file(REMOVE_RECURSE "${DIR}")
execute_process(COMMAND "${VANTOREL}" --tour "${DIR}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The tour failed (${result}):\n${output}${errors}")
endif()
foreach(bad "Dock AXList not found" "Could not find the Dock process" "!! ")
    string(FIND "${output}" "${bad}" at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "The tour reported \"${bad}\":\n${output}")
    endif()
endforeach()

set(expected
    "DockObserver started with 17 tiles"
    "Coordinator started"
    "   Vantorel is active  (label, checkmark.circle)"
    "   Quit Vantorel  Ctrl+Q"
    "Hover → Safari"
    "Panel show: app=Safari cards=3"
    "Captures running for 2 window(s)"
    "Panel show: app=Mail cards=2"
    "Restored window"
    "Closed window"
    "Focused window"
    "Panel hide"
    "Minimized window"
    "Hover → Downloads"
    "Hover → Documents"
    "Tour finished"
    "Wrote ${EXPECTED} pictures")
set(rest "${output}")
foreach(line IN LISTS expected)
    string(FIND "${rest}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "Expected \"${line}\" (after the lines before it) in:\n${output}")
    endif()
    string(SUBSTRING "${rest}" ${at} -1 rest)
endforeach()

file(GLOB pictures "${DIR}/*.png")
list(LENGTH pictures count)
if(NOT count EQUAL EXPECTED)
    message(FATAL_ERROR "Expected ${EXPECTED} pictures, found ${count}:\n${output}")
endif()
foreach(picture IN LISTS pictures)
    file(READ "${picture}" signature LIMIT 8 HEX)
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "${picture} is not a PNG file")
    endif()
    # A whole screen with windows and the Dock compresses to far more than this.
    file(SIZE "${picture}" bytes)
    if(bytes LESS 50000)
        message(FATAL_ERROR "${picture} is suspiciously small (${bytes} bytes)")
    endif()
endforeach()
message(STATUS "${count} pictures in ${DIR}")
