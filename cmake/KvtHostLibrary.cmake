# The host platform layer is one shared library made of three source folders:
# base/ (observer base, configuration store, tracing, utilities),
# valueframework/valueclasses/ (value tree) and
# devicecontrol/stddevicedefinition/ (device value catalogue, antenna node builder).
set(kvthost_sources
    base/accountedoutput.cpp
    base/accountedoutput.h
    base/arexception.cpp
    base/arexception.h
    base/cfgcenter.cpp
    base/cfgcenter.h
    base/cfgdocument.cpp
    base/cfgdocument_p.h
    base/cfgfilelock.cpp
    base/cfgfilelock_p.h
    base/cfginiformat.cpp
    base/cfginiformat_p.h
    base/cfgsection.cpp
    base/cfgsection_p.h
    base/cinterfacecreator.cpp
    base/cinterfacecreator.h
    base/datetime.cpp
    base/datetime.h
    base/deliveryaccount.cpp
    base/deliveryaccount.h
    base/errorhandler.cpp
    base/errorhandler.h
    base/hostversion.cpp
    base/hostversion.h
    base/icfg.cpp
    base/icfg.h
    base/idllinstance.cpp
    base/idllinstance.h
    base/iinterface.h
    base/iinterfacecallback.h
    base/iobserver.h
    base/moduleloader.cpp
    base/moduleloader_p.h
    base/observable.cpp
    base/observable.h
    base/omekos.cpp
    base/omekos.h
    base/serialaddress.cpp
    base/serialaddress.h
    base/serialconnection.cpp
    base/serialconnection_p.h
    base/tokenizer.cpp
    base/tokenizer.h
    base/trace.cpp
    base/trace.h
    valueframework/valueclasses/adapter.cpp
    valueframework/valueclasses/adapter.h
    valueframework/valueclasses/bearing.h
    valueframework/valueclasses/bearingresult.cpp
    valueframework/valueclasses/bearingresult.h
    valueframework/valueclasses/node.cpp
    valueframework/valueclasses/node.h
    valueframework/valueclasses/pathindex.cpp
    valueframework/valueclasses/pathindex.h
    valueframework/valueclasses/quadfloat.cpp
    valueframework/valueclasses/quadfloat.h
    valueframework/valueclasses/selectionitem.h
    valueframework/valueclasses/selitemdesc.cpp
    valueframework/valueclasses/selitemdesc.h
    valueframework/valueclasses/trafficcontrolfrequency.cpp
    valueframework/valueclasses/trafficcontrolfrequency.h
    valueframework/valueclasses/tree.cpp
    valueframework/valueclasses/tree.h
    valueframework/valueclasses/value.h
    valueframework/valueclasses/valuebase.cpp
    valueframework/valueclasses/valuebase.h
    valueframework/valueclasses/valuedescriptor.cpp
    valueframework/valueclasses/valuedescriptor.h
    valueframework/valueclasses/valuefactory.cpp
    valueframework/valueclasses/valuefactory.h
    valueframework/valueclasses/valuelist.h
    valueframework/valueclasses/valuenumeric.h
    valueframework/valueclasses/valueobservermacros.h
    valueframework/valueclasses/valueselection.cpp
    valueframework/valueclasses/valueselection.h
    devicecontrol/stddevicedefinition/stdadapter.cpp
    devicecontrol/stddevicedefinition/stdadapter.h
    devicecontrol/stddevicedefinition/stddevicedefinition.cpp
    devicecontrol/stddevicedefinition/stddevicedefinition.h
    devicecontrol/stddevicedefinition/stddevicetree.cpp
    devicecontrol/stddevicedefinition/stddevicetree.h
)
list(TRANSFORM kvthost_sources PREPEND ${PROJECT_SOURCE_DIR}/)

kvt_add_shared_library(kvthost EXPORT_NAME Host BASE_NAME KVTHOST SOURCES ${kvthost_sources})
target_compile_definitions(kvthost PRIVATE KVT_MODULE_SUBDIR="${KVT_MODULE_SUBDIR}")
target_link_libraries(kvthost PUBLIC Qt5::Core PRIVATE ${CMAKE_DL_LIBS})

# Public headers keep their folder; private "_p.h" headers stay behind.
foreach(dir IN ITEMS base valueframework/valueclasses devicecontrol/stddevicedefinition)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/ DESTINATION ${KVT_INSTALL_INCLUDE_DIR}/${dir}
        FILES_MATCHING PATTERN "*.h" PATTERN "*_p.h" EXCLUDE)
endforeach()

target_link_libraries(kvthost PRIVATE Qt5::SerialPort)
