#include "base/cfgcenter.h"
#include "base/hostversion.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    out << "kvtcommon " << KvtLibraryInfo::Version() << "\n"
        << "host platform " << HostVersion::Version() << "\n"
        << "configuration directory " << CfgCenter::ConfigDirectory() << "\n";
    return 0;
}
