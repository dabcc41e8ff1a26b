#pragma once

#include <QString>
#include <QStringList>

class AntennaData;
class AntennaDataList;

namespace StationsTest
{

/// The members of a record that the configuration store keeps, as one line;
/// numbers exact, so that a changed millihertz shows.
QString Describe(const AntennaData& antenna);
QStringList Describe(const AntennaDataList& list);

/// Appends three records that use every stored member, with used ranges that
/// end on odd millihertz, and run-time handles that are not stored.
void AddSampleSetup(AntennaDataList& list);

inline QString SampleStation()
{
    return QStringLiteral("192.168.17.4:5555");
}

}
