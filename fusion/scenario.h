#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

/// The scenario file of a simulated DF network (docs/scenario.md): the
/// emitters (the truth a fix is judged by) and the stations with their
/// positions and bearing noise. Handovers and platform motion are not read;
/// the fusion does not need them.
class Scenario
{
public:
    struct Emitter
    {
        QString strName;
        double fLatitude = 0.0;
        double fLongitude = 0.0;
        double fFrequency = 0.0;
        double fBandwidth = 0.0;
        double fOn = 0.0;
        double fOff = 0.0;
    };
    struct Station
    {
        QString strName;
        double fLatitude = 0.0;
        double fLongitude = 0.0;
        double fHeading = 0.0;
        double fSigma = 0.0;
        double fFrequencyMin = 0.0;
        double fFrequencyMax = 0.0;
    };

    /// Reads the file; false with "<file>: <reason>" (naming the field) when
    /// it cannot be read or is invalid. The scenario is unchanged then.
    bool Load(const QString& fileName, QString& rError);
    /// The same for the file's bytes; the reason names the field.
    bool Parse(const QByteArray& text, QString& rError);

    qint64 GetStartMs() const { return m_nStartMs; }
    const std::vector<Emitter>& GetEmitters() const { return m_lstEmitters; }
    const std::vector<Station>& GetStations() const { return m_lstStations; }
    /// The station of that name, or null.
    const Station* FindStation(const QString& name) const;

private:
    qint64 m_nStartMs = 0;
    std::vector<Emitter> m_lstEmitters;
    std::vector<Station> m_lstStations;
};
