# Starts vantorel (the gallery: a whole start-up and run of the program) with NetworkProbe
# preloaded, which tries the network from inside the process as it exits: refused after start-up,
# let through with --allow-network.
foreach(name VANTOREL PROBE DIR)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "NetworkCheck needs -D${name}=...")
    endif()
endforeach()

function(probe expected)
    file(REMOVE_RECURSE "${DIR}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_PRELOAD=${PROBE}
                            VANTOREL_PROBE_OUTPUT=${DIR}.report QT_QPA_PLATFORM=offscreen
                            ASAN_OPTIONS=verify_asan_link_order=0
                            "${VANTOREL}" --gallery "${DIR}" ${ARGN}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "vantorel ${ARGN} failed (${result}):\n${errors}")
    endif()
    file(READ "${DIR}.report" report)
    string(FIND "${report}" "${expected}" at)
    if(NOT at EQUAL 0)
        message(FATAL_ERROR "vantorel ${ARGN}: expected\n${expected}\nbut the probe saw\n${report}")
    endif()
endfunction()

probe("connect 127.0.0.1: Permission denied\ninet6: Permission denied\n\
packet: Permission denied\nunix: done\nio_uring: Operation not permitted\n")
probe("connect 127.0.0.1: Connection refused\n" --allow-network)
