#include "devicecontrol/directionfinder/kvtcommon/appendwhole.h"

bool AppendWhole(QFile& rFile, const QByteArray& data)
{
    const qint64 written = rFile.write(data);
    if (written == data.size())
        return true;
    if (written > 0)
        rFile.resize(rFile.size() - written);
    return false;
}
