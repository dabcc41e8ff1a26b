#pragma once

#include "kvthost_export.h"
#include "valueframework/valueclasses/bearing.h"

#include <QString>

namespace values
{

/// A published bearing: the members of a Bearing plus a time stamp, each with
/// a validity flag. A default result has no valid member; every setter marks
/// its member valid; a result built from a Bearing has all members valid.
class KVTHOST_EXPORT BearingResult
{
public:
    /// Member indexes for IsValueValid / SetValueValid.
    enum EValueIndex
    {
        VALUE_FREQUENCY = 0,
        VALUE_AZIMUTH = 1,
        VALUE_QUALITY = 2,
        VALUE_ELEVATION = 3,
        VALUE_LEVEL = 4,
        VALUE_TIMESTAMP = 5,
        VALUE_COUNT = 6
    };

    BearingResult() = default;
    BearingResult(const Bearing& bearing, quint64 timeStamp);
    virtual ~BearingResult();
    BearingResult(const BearingResult&) = default;
    BearingResult& operator=(const BearingResult&) = default;

    /// False for an index outside [0, VALUE_COUNT).
    bool IsValueValid(int index) const;
    /// Ignored for an index outside [0, VALUE_COUNT).
    void SetValueValid(int index, bool bValid);

    double GetFrequency() const { return m_fFrequency; }
    qint16 GetLevel() const { return m_nLevel; }
    quint16 GetAzimuth() const { return m_nAzimuth; }
    qint16 GetElevation() const { return m_nElevation; }
    qint16 GetQuality() const { return m_nQuality; }
    /// In the unit of Omek::DateTime.
    quint64 GetTimeStamp() const { return m_nTimeStamp; }
    Bearing GetBearing() const { return Bearing{m_fFrequency, m_nLevel, m_nAzimuth, m_nElevation, m_nQuality}; }

    void SetFrequency(double frequency);
    void SetLevel(qint16 level);
    void SetAzimuth(quint16 azimuth);
    void SetElevation(qint16 elevation);
    void SetQuality(qint16 quality);
    void SetTimeStamp(quint64 timeStamp);

    bool operator==(const BearingResult& other) const;
    bool operator!=(const BearingResult& other) const { return !(*this == other); }

    /// "frequency;level;azimuth;elevation;quality;timestamp;validity bits".
    QString ToString() const;
    /// False, and `rResult` untouched, for text that ToString cannot have made.
    static bool FromString(const QString& text, BearingResult& rResult);

private:
    template <class M>
    void SetMember(M& rMember, M value, int index)
    {
        rMember = value;
        SetValueValid(index, true);
    }

    double m_fFrequency = 0.0;
    qint16 m_nLevel = 0;
    quint16 m_nAzimuth = 0;
    qint16 m_nElevation = 0;
    qint16 m_nQuality = 0;
    quint64 m_nTimeStamp = 0;
    unsigned m_nValidMask = 0;
};

}
