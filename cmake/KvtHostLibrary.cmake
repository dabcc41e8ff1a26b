# The host platform layer is one shared library made of three source folders:
# base/ (observer base, configuration store, tracing, utilities),
# valueframework/valueclasses/ (value tree) and
# devicecontrol/stddevicedefinition/ (device value catalogue, antenna node builder).
# Sources are collected per folder so that adding a class means adding a file pair.
set(KVT_HOST_DIRS base valueframework/valueclasses devicecontrol/stddevicedefinition)
set(kvthost_sources)
foreach(dir IN LISTS KVT_HOST_DIRS)
    file(GLOB dir_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/${dir}/*.h)
    list(APPEND kvthost_sources ${dir_sources})
endforeach()

add_library(kvthost SHARED ${kvthost_sources})
add_library(KvtCommon::Host ALIAS kvthost)
generate_export_header(kvthost
    BASE_NAME KVTHOST
    EXPORT_FILE_NAME ${KVT_GENERATED_INCLUDE_DIR}/kvthost_export.h)
set_target_properties(kvthost PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    EXPORT_NAME Host)
target_include_directories(kvthost PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<BUILD_INTERFACE:${KVT_GENERATED_INCLUDE_DIR}>
    $<INSTALL_INTERFACE:${KVT_INSTALL_INCLUDE_DIR}>)
target_compile_definitions(kvthost PRIVATE
    KVT_DEFAULT_MODULE_DIR="${CMAKE_INSTALL_FULL_LIBDIR}/kvtcommon/modules")
target_link_libraries(kvthost PUBLIC Qt5::Core Qt5::Network Qt5::SerialPort)

install(TARGETS kvthost EXPORT KvtCommonTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(dir IN LISTS KVT_HOST_DIRS)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/ DESTINATION ${KVT_INSTALL_INCLUDE_DIR}/${dir}
        FILES_MATCHING PATTERN "*.h" PATTERN "*_p.h" EXCLUDE)
endforeach()
install(FILES ${KVT_GENERATED_INCLUDE_DIR}/kvthost_export.h DESTINATION ${KVT_INSTALL_INCLUDE_DIR})
