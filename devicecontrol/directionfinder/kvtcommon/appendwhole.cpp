#include "devicecontrol/directionfinder/kvtcommon/appendwhole.h"

bool AppendWhole(QFile& rFile, const QByteArray& data, QString* pReason)
{
    // A write cut short reports no error; writing the rest either completes
    // the data or fails with the system's reason.
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 now = rFile.write(data.constData() + written, data.size() - written);
        if (now <= 0)
            break;
        written += now;
    }
    if (written == data.size())
        return true;
    if (pReason != nullptr)
        *pReason = rFile.errorString();
    if (written > 0)
        rFile.resize(rFile.size() - written);
    return false;
}
