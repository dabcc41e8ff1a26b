# Where things go when installed, and how installed binaries find each other.
#
# The install tree is relocatable: every installed program, library and module
# finds this project's libraries through an $ORIGIN-relative run path, and the
# host library looks for modules relative to its own file at run time, so a
# prefix keeps working after it has been moved.

# While the major version is 0 every minor version may break the interface:
# the SONAME carries the minor (libkvtcommon.so.0.1) and the package version
# file accepts only the same minor version.
if(PROJECT_VERSION_MAJOR EQUAL 0)
    set(KVT_SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
    set(KVT_PACKAGE_COMPATIBILITY SameMinorVersion)
else()
    set(KVT_SOVERSION ${PROJECT_VERSION_MAJOR})
    set(KVT_PACKAGE_COMPATIBILITY SameMajorVersion)
endif()

# Run-time modules live below the host library's directory; the host library
# resolves this folder relative to itself (see CfgCenter::ModuleDirectory), in
# the build tree as well as in any install prefix.
set(KVT_MODULE_SUBDIR kvtcommon/modules)
set(KVT_INSTALL_MODULE_DIR ${CMAKE_INSTALL_LIBDIR}/${KVT_MODULE_SUBDIR})

# kvt_set_install_rpath(<target> <install destination relative to the prefix>)
# Lets the installed <target> find the libraries in CMAKE_INSTALL_LIBDIR
# relative to its own location.
function(kvt_set_install_rpath target destination)
    file(RELATIVE_PATH to_libdir ${CMAKE_INSTALL_PREFIX}/${destination} ${CMAKE_INSTALL_FULL_LIBDIR})
    if(to_libdir STREQUAL "")
        set(rpath "$ORIGIN")
    else()
        set(rpath "$ORIGIN/${to_libdir}")
    endif()
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${rpath}")
endfunction()

# kvt_install_module(<target>)
# For a MODULE library loaded at run time through CfgCenter: builds it into the
# module folder beside the host library, so the build tree finds it without
# KVT_MODULE_DIR, and installs it into KVT_INSTALL_MODULE_DIR.
function(kvt_install_module target)
    set_target_properties(${target} PROPERTIES
        LIBRARY_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:kvthost>/${KVT_MODULE_SUBDIR})
    kvt_set_install_rpath(${target} ${KVT_INSTALL_MODULE_DIR})
    install(TARGETS ${target} LIBRARY DESTINATION ${KVT_INSTALL_MODULE_DIR})
endfunction()
