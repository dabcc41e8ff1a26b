# Script mode: install, configure, build and run the consumer project.
function(run_step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "step failed (${result}): ${ARGN}")
    endif()
endfunction()

set(prefix ${KVT_WORK_DIR}/prefix)
set(build ${KVT_WORK_DIR}/build)
file(REMOVE_RECURSE ${KVT_WORK_DIR})

run_step(${CMAKE_COMMAND} --install ${KVT_BUILD_DIR} --prefix ${prefix})
run_step(${CMAKE_COMMAND} -S ${KVT_CONSUMER_SOURCE} -B ${build}
    -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_FLAGS=${KVT_CXX_FLAGS}
    -DCMAKE_EXE_LINKER_FLAGS=${KVT_CXX_FLAGS})
run_step(${CMAKE_COMMAND} --build ${build})
# The installed libraries carry no run path, so the loader is told where they are.
run_step(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib ${build}/consumer)
