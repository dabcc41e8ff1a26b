#pragma once

#include "devicecontrol/directionfinder/kvtcommon/connectionspeedfilter.h"
#include "devicecontrol/directionfinder/kvtcommon/filterrejectreason.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassfilter.h"
#include "devicecontrol/directionfinder/kvtcommon/pitchrollfilter.h"
#include "kvtcommon_export.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

namespace NxKVTCommon
{

struct FFMData;
class OverheadPassParams;

/// The path a bearing takes from a driver's report to publication: a driver callback hands over a
/// block of scan bearings or one fixed-frequency result and gets back the results to publish and,
/// for each bearing left out, why. The pipeline never writes into the caller's bearings: the
/// filters work on its own copy.
///
/// The platform state a block was measured under is the one the host keeps below the device node
/// when the block arrives: pitch, roll and their thresholds (values of the device descriptors), and
/// the connection speed ("Res/DfR/ConnectionSpeed"). The data-valid flag and the state text
/// ("Res/DfR/DataValid", "Res/DfR/DataStateInfo") report a tilted platform there. The three values
/// of "Res/DfR" are created when missing; all values are borrowed and must outlive the pipeline.
///
/// Order of the filters, and why:
/// 1. pitch/roll: a tilted platform spoils the whole block, so it is judged before any bearing and
///    every bearing of a tilted block counts as "tilt" only;
/// 2. connection speed: a bearing without quality is dropped before the overhead test, which needs
///    a valid quality (while a speed is set its level is marked for the display as well);
/// 3. overhead pass: judges a single result with its elevation, last, on what is left.
/// A bearing is rejected by the first of them that objects, so accepted plus rejected bearings
/// always add up to the bearings handed over. A bearing whose quality is not positive is rejected
/// as "no quality" whether or not a connection speed is set.
///
/// The filters keep their own documented behaviour and reject counts; the pipeline counts the
/// outcome per reason as well. Single-threaded: use it on the thread that owns the value tree.
class KVTCOMMON_EXPORT BearingPipeline
{
public:
    struct RejectedBearing
    {
        values::BearingResult result;  ///< as the rejecting filter left it
        FilterRejectReason eReason;
    };

    /// What became of one block, in block order.
    struct Outcome
    {
        std::vector<values::BearingResult> lstAccepted;
        std::vector<RejectedBearing> lstRejected;
        /// True when the platform was tilted: the whole block is rejected.
        bool bTilted = false;
    };

    /// devicePath: the device node, for example "/KVTServer".
    BearingPipeline(const QString& devicePath, OverheadPassParams& overheadPassParams);
    ~BearingPipeline();
    BearingPipeline(const BearingPipeline&) = delete;
    BearingPipeline& operator=(const BearingPipeline&) = delete;

    static QString ConnectionSpeedPath(const QString& devicePath);
    static QString DataValidPath(const QString& devicePath);
    static QString DataStateInfoPath(const QString& devicePath);

    /// A scan block measured at the time stamp. A null array counts as an empty block.
    Outcome ProcessBlock(quint64 nTimeStamp, quint32 nCount, const values::Bearing* pBearings);
    /// One fixed-frequency result.
    Outcome ProcessResult(const FFMData& data);

    quint64 GetProduced() const { return m_nProduced; }
    quint64 GetAccepted() const { return m_nAccepted; }
    /// Bearings rejected for the reason since construction; 0 for a number outside the enumeration.
    quint64 GetRejected(FilterRejectReason eReason) const;

private:
    void Reject(Outcome& rOutcome, const values::BearingResult& result, FilterRejectReason eReason);

    PitchRollFilter m_pitchRollFilter;
    ConnectionSpeedFilter m_connectionSpeedFilter;
    OverheadPassFilter m_overheadPassFilter;
    values::Value<bool>* m_pDataValid;
    std::vector<values::Bearing> m_lstScratch;
    quint64 m_nProduced = 0;
    quint64 m_nAccepted = 0;
    std::array<quint64, FILTER_REJECT_REASON_COUNT> m_aRejected{};
};

} // namespace NxKVTCommon
