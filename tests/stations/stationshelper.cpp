// Second process of the station tests (configuration in KVT_CONFIG_DIR):
//   dump <station>              build the stored setup, print the count and one line per record
//   rewrite <station> <bytes>   limit the file size to <bytes>, then store the setup with
//                               longer converter names
//   add <station>               add the station; exit 3 when not saved
#include "stationstestsupport.h"

#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"

#include <sys/resource.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const QString command = QString::fromLocal8Bit(argv[1]);
    const QString station = QString::fromLocal8Bit(argv[2]);
    if (command == QLatin1String("add"))
    {
        std::unique_ptr<ICfg>(StationCfg::GetStationCfg(station, true));
        return CfgCenter::Flush() ? 0 : 3;
    }
    AntennaDataList antennas;
    const int nCount = antennas.BuildAntennasFromCfg(station);
    if (command == QLatin1String("dump"))
        return std::printf("%s\n", (QStringList{QString::number(nCount)} + StationsTest::Describe(antennas)).join('\n').toUtf8().constData()) < 0;
    if (command != QLatin1String("rewrite") || argc < 4)
        return 2;
    for (int i = 0; i < antennas.GetAntennaCount(); ++i)
        antennas.GetAntennaByIndex(i)->m_strConverterTypeName += QStringLiteral("-LONGER-NAME-LONGER-NAME-LONGER-NAME");
    const rlim_t limit = QString::fromLocal8Bit(argv[3]).toULong();
    const rlimit fileSize{limit, limit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
    antennas.WriteAntennaSetupToCfg(station);
    return 0;
}
