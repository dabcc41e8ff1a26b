#include "base/cfgcenter.h"
#include "base/hostversion.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "kvtcommon_version.h"

#include <QDir>

#include <cstdio>

// A driver project outside the source tree: it must find the installed
// headers and libraries, agree with them on the version, and have the host
// look for modules in the prefix it runs from (given as the argument).
int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const bool versionsAgree = KvtLibraryInfo::Version() == QStringLiteral(KVTCOMMON_VERSION_STRING)
        && HostVersion::Version() == KvtLibraryInfo::Version();
    const QString moduleDir = CfgCenter::ModuleDirectory();
    const bool moduleDirFound = moduleDir == QDir::cleanPath(QString::fromLocal8Bit(argv[1]));
    std::printf("consumer built against kvtcommon %s: %s; modules in %s: %s\n", KVTCOMMON_VERSION_STRING,
                versionsAgree ? "ok" : "mismatch", qPrintable(moduleDir), moduleDirFound ? "ok" : "wrong");
    return versionsAgree && moduleDirFound ? 0 : 1;
}
