#include "devicecontrol/directionfinder/kvtcommon/izodclientdll.h"

// Defined here so that the type information lives in this library once and
// the checked cast of a module's instance works across shared objects.
IZodClientDll::~IZodClientDll() = default;
