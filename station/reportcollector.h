#pragma once

#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"
#include "kvtstationlib_export.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

class AntennaData;
class KVTCharacteristics;

/// Asks bound device characteristics everything the capability report shows
/// and returns it as one JSON object (frequencies and bandwidths in Hz):
///
///     device           type, option codes, channel count, preamplifiers,
///                      converter switch frequencies
///     antennaSetup     valid, message, antennas[], and repair when one ran
///     operationModes[] mode, minFreq, maxFreq
///     frequencyRanges[] label, start, stop, antenna, rangeType, dfMethods[],
///                      polarisations[], modes[] (mode, sampleMode,
///                      defaultRealtimeBandwidth, realtimeBandwidths[] with
///                      their resolution bandwidths and default)
class KVTSTATION_EXPORT ReportCollector
{
public:
    explicit ReportCollector(KVTCharacteristics& characteristics);

    /// Adds the outcome of an antenna-setup repair to the next Collect().
    void SetRepairResult(bool success, const QString& message);
    QJsonObject Collect() const;

    /// The operation modes the device keeps frequency limits for (mode 0
    /// always mirrors mode 1 and is left out).
    static const EOperationMode s_aOPERATION_MODES[6];

private:
    QJsonObject CollectDevice() const;
    QJsonObject CollectAntennaSetup() const;
    QJsonObject CollectAntenna(AntennaData* pAntenna) const;
    QJsonArray CollectOperationModes() const;
    QJsonObject CollectRange(const QString& label, double start, double stop) const;
    QJsonObject CollectModeForRange(EOperationMode mode, double start, double stop) const;

    KVTCharacteristics& m_characteristics;
    QJsonObject m_repair;
};
