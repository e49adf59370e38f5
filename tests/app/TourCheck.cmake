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
    "Welcome window shown"
    "DockObserver started with 17 tiles"
    "Switcher: ⌥Tab window switcher armed"
    "Coordinator started"
    "   Vantorel is active  (label, checkmark.circle)"
    "   Quit Vantorel  Ctrl+Q"
    "welcome page 4: \"Two quick permissions\""
    "welcome window closed, didShowWelcome=1"
    "Hover → Safari"
    "Panel show: app=Safari cards=3"
    "Captures running for 2 window(s)"
    "Panel show: app=Mail cards=2"
    "Restored window"
    "Closed window"
    "Focused window"
    "Panel hide"
    "Minimized window"
    "Switcher: open with"
    "Switcher: committed"
    "Switcher: cancelled"
    "Hover → Downloads"
    "Folder panel show: Downloads items=16"
    "Folder panel hide"
    "opened file://"
    "Folder panel show: Empty items=0"
    "Folder panel show: Scans items=200"
    "Media panel show: Blue in Green"
    "   Pause"
    "   Next track"
    "Media panel show: Weekly Mix"
    "Hover → Spotify"
    "Panel show: app=Spotify cards=1"
    "Calendar request returned granted=true"
    "Calendar panel show: events=8"
    "Reminders panel show: items=5"
    "Hover → Documents"
    "Folder panel show: Documents items=10"
    "altTabEnabled=0, switcher armed=0"
    "altTabEnabled=1, switcher armed=1"
    "layout: Compact list (stored \"list\")"
    "settings window closed"
    "Panel show: app=Safari cards=3"
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

# A whole screen with windows and the Dock compresses to far more than 50 kB.
include("${CMAKE_CURRENT_LIST_DIR}/CheckPictures.cmake")
check_pictures("${DIR}" ${EXPECTED} 50000 "${output}")
