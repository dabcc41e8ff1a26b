# kvt_add_catalogues(<name> TS_FILES <files...> SCAN <paths...>)
# Message catalogues kept in the repository as <name>_<language>.ts: compiled
# to .qm at build time and built in as Qt resources below
# ":/<name>/translations". Sets <name>_catalogue_sources (the sources to add
# to the target that owns the resources, whose initialiser is named
# <name>_translations) and <name>_qm_files (to install as files). The target
# <name>_lupdate refreshes the .ts files from the sources below SCAN.
find_package(Qt5 5.15 REQUIRED COMPONENTS LinguistTools)

function(kvt_add_catalogues name)
    cmake_parse_arguments(ARG "" "" "TS_FILES;SCAN" ${ARGN})
    qt5_add_translation(qm_files ${ARG_TS_FILES})
    set(qrc_body "<RCC><qresource prefix=\"/${name}/translations\">\n")
    foreach(qm IN LISTS qm_files)
        get_filename_component(qm_name ${qm} NAME)
        string(APPEND qrc_body "<file alias=\"${qm_name}\">${qm}</file>\n")
    endforeach()
    string(APPEND qrc_body "</qresource></RCC>\n")
    set(qrc ${CMAKE_CURRENT_BINARY_DIR}/${name}_translations.qrc)
    file(CONFIGURE OUTPUT ${qrc} CONTENT "${qrc_body}")
    set(qrc_cpp ${CMAKE_CURRENT_BINARY_DIR}/qrc_${name}_translations.cpp)
    add_custom_command(OUTPUT ${qrc_cpp}
        COMMAND Qt5::rcc --name ${name}_translations --output ${qrc_cpp} ${qrc}
        DEPENDS ${qrc} ${qm_files}
        VERBATIM)
    set_source_files_properties(${qrc_cpp} PROPERTIES SKIP_AUTOMOC ON)
    add_custom_target(${name}_lupdate
        COMMAND Qt5::lupdate -locations none -no-obsolete -extensions h,cpp -I ${PROJECT_SOURCE_DIR}
                ${ARG_SCAN} -ts ${ARG_TS_FILES}
        WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
        VERBATIM)
    set(${name}_qm_files ${qm_files} PARENT_SCOPE)
    set(${name}_catalogue_sources ${qm_files} ${qrc_cpp} PARENT_SCOPE)
endfunction()
