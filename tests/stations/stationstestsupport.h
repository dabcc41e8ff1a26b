#pragma once

#include <QString>
#include <QStringList>

class AntennaData;
class AntennaDataList;

namespace StationsTest
{

/// The members of a record that the configuration store keeps, as one line
/// "name|minFreq|maxFreq|minRange|maxRange|compassValue|mechOffset|dfNames|dfCodes|flags|converter"
/// with exact numbers and the flags enabled, compass support, compass enabled,
/// polarisation support, active/passive support as 0/1.
QString Describe(const AntennaData& antenna);
QStringList Describe(const AntennaDataList& list);
/// A record from such a line (handles and polarisation mode at their defaults).
AntennaData* Parse(const QString& line);

/// Three records that use every stored member, with used ranges ending on odd
/// millihertz, and run-time handles and a polarisation mode that are not stored.
void AddSampleSetup(AntennaDataList& list);

inline QString SampleStation()
{
    return QStringLiteral("192.168.17.4:5555");
}

}
