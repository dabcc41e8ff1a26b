#pragma once

#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "kvtcommon_export.h"

#include <QString>

namespace values
{
struct Bearing;
class BearingResult;
template <class T>
class Value;
template <class T>
class ValueNumeric;
} // namespace values

namespace NxKVTCommon
{

/// Rejects bearings while the platform carrying the antenna is tilted: the driver asks
/// IsFilterConditionMet() and, when it holds, passes its bearings through Apply(), which sets their
/// quality to 0 and reports "Pitch/Roll value exceeds threshold." in the value tree.
///
/// The filter borrows up to six values of the value tree, each chosen once by path; a value that
/// is missing or of another type is treated as absent (see the setters). It creates and deletes no
/// values and does not observe them: every borrowed value must outlive the filter. Copies share
/// the borrowed values and carry the reject counts along.
///
/// Every rejected bearing is counted under FilterRejectReason::Tilt. Single-threaded: use it on the
/// thread that produces the bearings and owns the value tree.
class KVTCOMMON_EXPORT PitchRollFilter : public FilterRejectCounter
{
public:
    PitchRollFilter();
    PitchRollFilter(const PitchRollFilter& other);
    PitchRollFilter& operator=(const PitchRollFilter& other);
    ~PitchRollFilter();

    /// Each setter takes the value at the absolute path once: while its value is unset it looks the
    /// path up and keeps the value if it has the required type (numbers: ValueNumeric<double>, the
    /// flag: Value<bool>, the text: Value<QString>); once set, later calls have no effect.
    void SetPitchValuePath(const QString& path);
    void SetRollValuePath(const QString& path);
    void SetPitchThresholdValuePath(const QString& path);
    void SetRollThresholdValuePath(const QString& path);
    void SetKVTDataValidValuePath(const QString& path);
    void SetKVTDataStateInfoValuePath(const QString& path);

    /// True when |pitch| ≥ |pitch threshold| or else |roll| ≥ |roll threshold|. A side without both
    /// its values, or with a NaN, does not exceed.
    bool IsFilterConditionMet() const;

    /// Only for a result with a valid quality: quality 0, data-valid flag false and the state text.
    /// Otherwise nothing changes. Does not test the thresholds.
    void Apply(values::BearingResult& result);
    /// Quality 0 for each of the count bearings (none for a null array), then, even for none, the
    /// data-valid flag false and the state text. Does not test the thresholds.
    void Apply(unsigned int count, values::Bearing* bearings);

private:
    bool PitchThresholdExceeded() const;
    bool RollThresholdExceeded() const;
    void ReportRejection();

    values::ValueNumeric<double>* m_pPitch;
    values::ValueNumeric<double>* m_pRoll;
    values::ValueNumeric<double>* m_pPitchThreshold;
    values::ValueNumeric<double>* m_pRollThreshold;
    values::Value<bool>* m_pKVTDataValid;
    values::Value<QString>* m_pKVTDataStateInfo;
};

} // namespace NxKVTCommon
