# kvt_add_shared_library(<target> EXPORT_NAME <name> BASE_NAME <macro prefix> SOURCES <files...>)
#
# The common shape of this project's shared libraries: a KvtCommon::<name>
# alias, a generated <target>_export.h, KVT_SOVERSION, headers included
# relative to the repository root, symbols hidden unless exported, and
# installation into the KvtCommonTargets export set with a relocatable run path.
function(kvt_add_shared_library target)
    cmake_parse_arguments(ARG "" "EXPORT_NAME;BASE_NAME" "SOURCES" ${ARGN})
    add_library(${target} SHARED ${ARG_SOURCES})
    add_library(KvtCommon::${ARG_EXPORT_NAME} ALIAS ${target})
    generate_export_header(${target}
        BASE_NAME ${ARG_BASE_NAME}
        EXPORT_FILE_NAME ${KVT_GENERATED_INCLUDE_DIR}/${target}_export.h)
    set_target_properties(${target} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${KVT_SOVERSION}
        EXPORT_NAME ${ARG_EXPORT_NAME}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    # Calls between a library's own exported functions go to them directly
    # (and may be inlined) instead of through the PLT: the libraries do not
    # support replacing one of their functions from outside at run time.
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -fno-semantic-interposition)
    endif()
    kvt_set_install_rpath(${target} ${CMAKE_INSTALL_LIBDIR})
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
        $<BUILD_INTERFACE:${KVT_GENERATED_INCLUDE_DIR}>
        $<INSTALL_INTERFACE:${KVT_INSTALL_INCLUDE_DIR}>)
    install(TARGETS ${target} EXPORT KvtCommonTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${KVT_GENERATED_INCLUDE_DIR}/${target}_export.h DESTINATION ${KVT_INSTALL_INCLUDE_DIR})
endfunction()
