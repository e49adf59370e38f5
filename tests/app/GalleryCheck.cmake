# Runs `vantorel --gallery` into a fresh folder and checks that it wrote one readable PNG for
# every state of the preview panel.
foreach(name VANTOREL DIR EXPECTED)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "GalleryCheck needs -D${name}=...")
    endif()
endforeach()

file(REMOVE_RECURSE "${DIR}")
execute_process(COMMAND "${VANTOREL}" --gallery "${DIR}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The gallery failed (${result}):\n${output}${errors}")
endif()

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
    # Even the smallest panel over its backdrop compresses to far more than this.
    file(SIZE "${picture}" bytes)
    if(bytes LESS 10000)
        message(FATAL_ERROR "${picture} is suspiciously small (${bytes} bytes)")
    endif()
endforeach()
message(STATUS "${count} pictures in ${DIR}")
