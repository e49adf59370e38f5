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

# Even the smallest panel over its backdrop compresses to far more than 10 kB.
include("${CMAKE_CURRENT_LIST_DIR}/CheckPictures.cmake")
check_pictures("${DIR}" ${EXPECTED} 10000 "${output}")
