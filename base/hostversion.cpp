#include "base/hostversion.h"

#include "kvtcommon_version.h"

QString HostVersion::Version()
{
    return QStringLiteral(KVTCOMMON_VERSION_STRING);
}
