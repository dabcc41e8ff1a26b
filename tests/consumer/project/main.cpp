#include "base/hostversion.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "kvtcommon_version.h"

#include <cstdio>

// A driver project outside the source tree: it must find the installed
// headers and libraries and agree with them on the version.
int main()
{
    const bool agree = KvtLibraryInfo::Version() == QStringLiteral(KVTCOMMON_VERSION_STRING)
        && HostVersion::Version() == KvtLibraryInfo::Version();
    std::printf("consumer built against kvtcommon %s: %s\n", KVTCOMMON_VERSION_STRING, agree ? "ok" : "mismatch");
    return agree ? 0 : 1;
}
