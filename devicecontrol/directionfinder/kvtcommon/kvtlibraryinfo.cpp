#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"

#include "kvtcommon_version.h"

QString KvtLibraryInfo::Version()
{
    return QStringLiteral(KVTCOMMON_VERSION_STRING);
}
