# Script mode: installs the build into a scratch prefix and moves the whole
# prefix elsewhere. Then, each in a clean environment (no LD_LIBRARY_PATH, no
# KVT_* variables), runs the installed capability report, and configures,
# builds and runs a driver-like project against the installed package.
function(run_step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "step failed (${result}): ${ARGN}")
    endif()
endfunction()

set(installed ${KVT_WORK_DIR}/installed)
set(prefix ${KVT_WORK_DIR}/moved)
set(build ${KVT_WORK_DIR}/build)
set(config ${KVT_WORK_DIR}/config)
file(REMOVE_RECURSE ${KVT_WORK_DIR})
file(MAKE_DIRECTORY ${config})

run_step(${CMAKE_COMMAND} --install ${KVT_BUILD_DIR} --prefix ${installed})
file(RENAME ${installed} ${prefix})

# Every installed header, in one source the project compiles and links. A
# header whose declarations are defined in a source file of the library must
# carry an export macro; otherwise a host including it would fail to link.
set(include_root ${prefix}/${KVT_INSTALL_INCLUDE_DIR})
file(GLOB_RECURSE headers RELATIVE ${include_root} ${include_root}/*.h)
set(all_headers "// Generated: every installed header.\n")
foreach(header IN LISTS headers)
    string(APPEND all_headers "#include \"${header}\"\n")
    string(REGEX REPLACE "\\.h$" ".cpp" source ${header})
    if(EXISTS ${KVT_SOURCE_DIR}/${source})
        file(READ ${include_root}/${header} text)
        if(NOT text MATCHES "[A-Z]+_EXPORT")
            message(FATAL_ERROR "installed header ${header} exports nothing: keep it private")
        endif()
    endif()
endforeach()
file(WRITE ${KVT_WORK_DIR}/allheaders.cpp "${all_headers}")

find_program(ENV_PROGRAM env REQUIRED)
set(clean_env ${ENV_PROGRAM} -i PATH=/usr/bin:/bin)

run_step(${clean_env} ${prefix}/bin/kvtreport --config-dir ${config} --json)
run_step(${clean_env} ${CMAKE_COMMAND} -S ${KVT_CONSUMER_SOURCE} -B ${build}
    -DCMAKE_PREFIX_PATH=${prefix}
    -DKVT_ALL_HEADERS=${KVT_WORK_DIR}/allheaders.cpp
    -DCMAKE_CXX_FLAGS=${KVT_CXX_FLAGS}
    -DCMAKE_EXE_LINKER_FLAGS=${KVT_CXX_FLAGS})
run_step(${clean_env} ${CMAKE_COMMAND} --build ${build})
run_step(${clean_env} ${build}/consumer ${prefix}/${KVT_INSTALL_MODULE_DIR})
