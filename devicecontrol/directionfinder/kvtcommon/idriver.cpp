#include "devicecontrol/directionfinder/kvtcommon/idriver.h"

namespace NxKVTCommon
{

IDriver::IDriver() = default;
IDriver::~IDriver() = default;

void IDriver::ReservedOperation29() {}

void IDriver::SetAudioFormat(qint32, qint32, qint32) {}

bool IDriver::StartDRData(bool, qint32)
{
    return false;
}

qint32 IDriver::GetBufferCount()
{
    return 0;
}

qint32 IDriver::RestartMassData()
{
    return 0;
}

qint32 IDriver::SetSyncTrigger(bool)
{
    return -1;
}

qint32 IDriver::GetSyncMissedCount() const
{
    return -1;
}

void IDriver::ReservedOperation64() {}

} // namespace NxKVTCommon
