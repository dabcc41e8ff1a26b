#include "base/cfgcenter.h"
#include "base/hostversion.h"
#include "base/idllinstance.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "kvtcommon_version.h"
#include "station/stationsummary.h"

#include <QDir>

#include <cstdio>

// A driver project outside the source tree: it must find the installed
// headers and libraries (the station library among them), agree with them on
// the version, and have the host look for modules in the prefix it runs from
// (given as the argument), where the installed ZOD client module must load.
int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const bool versionsAgree = KvtLibraryInfo::Version() == QStringLiteral(KVTCOMMON_VERSION_STRING)
        && HostVersion::Version() == KvtLibraryInfo::Version();
    const QString moduleDir = CfgCenter::ModuleDirectory();
    const bool moduleDirFound = moduleDir == QDir::cleanPath(QString::fromLocal8Bit(argv[1]));
    IDllInstance* zodClient = CfgCenter::CreateDllInstanceByFileName(QStringLiteral("ZodClient.dll"), QString(), false, false);
    const bool zodClientLoaded = zodClient != nullptr;
    CfgCenter::DestroyDllInstanceByPointer(zodClient);
    // A station that never opened its sentence file cannot say it delivered.
    StationSummary summary;
    StationSummary::Delivery file;
    file.strName = QStringLiteral("file");
    summary.lstDeliveries.push_back(file);
    const bool stationLinked = summary.ExitCode() == StationSummary::EXIT_OUTPUT_UNAVAILABLE;
    std::printf("consumer built against kvtcommon %s: %s; modules in %s: %s; ZOD client module: %s; station "
                "library: %s\n",
                KVTCOMMON_VERSION_STRING, versionsAgree ? "ok" : "mismatch", qPrintable(moduleDir),
                moduleDirFound ? "ok" : "wrong", zodClientLoaded ? "loaded" : "missing",
                stationLinked ? "linked" : "wrong");
    return versionsAgree && moduleDirFound && zodClientLoaded && stationLinked ? 0 : 1;
}
