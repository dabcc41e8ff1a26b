#pragma once

#include "fusion/errorellipse.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <Eigen/Core>

#include <vector>

/// What one station contributed to a fix from one place: its position and
/// the mean of its kept bearings in the window (drawn as the station's
/// bearing line). A moving station gives one line per leg of its track.
struct FixLine
{
    QString strStation;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    double fBearing = 0.0;
    double fSigma = 0.0;
    /// Bearings kept in the fix.
    int nBearings = 0;
};

/// Bearings of one station that the fix left out, by reason.
struct FixRejection
{
    QString strStation;
    /// Isolated bearings far from the fix's line (noise spikes, wrong lobes).
    int nWild = 0;
    /// Bearings that agree among themselves but not with the fix (a
    /// reflection, a second path).
    int nReflected = 0;
    /// Bearings of a station the others outvoted as a whole (a wrong
    /// heading, a reflection that covers the whole window, an injected source).
    int nOutvoted = 0;
};

/// One estimated emitter position with its uncertainty.
struct Fix
{
    /// Quality flags: why the fix should not be trusted as it is.
    enum Flag : unsigned {
        TOO_FEW_BEARINGS = 1u << 0, ///< no redundancy: the residual cannot check the fix
        NEAR_PARALLEL = 1u << 1,    ///< the bearing lines cross at small angles only
        BEHIND_STATION = 1u << 2,   ///< a station looks away from the fix
        NOT_CONVERGED = 1u << 3,    ///< the refinement did not settle
        INCONSISTENT = 1u << 4,     ///< the kept bearings scatter more than their sigmas: ellipse widened
        OUTVOTED = 1u << 5,         ///< a station's bearings were left out as a whole (lstOutvoted)
        ONE_STATION = 1u << 6,      ///< one moving station's track alone makes the fix
    };

    /// False when no position could be estimated (fewer than two stations,
    /// parallel lines); the position fields are then meaningless.
    bool bValid = false;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    /// Square metres over (east, north) at the fix; widened by the measured
    /// scatter when the fix is INCONSISTENT.
    Eigen::Matrix2d covariance = Eigen::Matrix2d::Zero();
    ErrorEllipse ellipse;
    /// Stations with kept bearings.
    int nStations = 0;
    /// Bearings kept.
    int nBearings = 0;
    /// Root mean square of the kept bearings' residuals in degrees.
    double fResidualRms = 0.0;
    /// Sum of the kept bearings' squared residuals over their variances;
    /// about nDegreesOfFreedom when the sigmas are right.
    double fChiSquare = 0.0;
    /// Kept bearings minus the two coordinates.
    int nDegreesOfFreedom = 0;
    /// Probability of a chi-square at least this large from bearings with
    /// the rated sigmas (1 without redundancy).
    double fPValue = 1.0;
    /// Factor on the sigma-only ellipse's axes (1 unless INCONSISTENT).
    double fWidening = 1.0;
    unsigned nFlags = 0;
    int nIterations = 0;
    double fFrequency = 0.0;
    qint64 nStartMs = 0;
    qint64 nEndMs = 0;
    std::vector<FixLine> lstLines;
    /// Per station with bearings left out.
    std::vector<FixRejection> lstRejections;
    /// Stations outvoted as a whole.
    QStringList lstOutvoted;

    /// The flags as words: "few-bearings", "near-parallel", "behind-station",
    /// "not-converged", "inconsistent", "outvoted", "one-station".
    QStringList FlagNames() const;
    /// The flags of those words; words it does not know are left out.
    static unsigned FlagsNamed(const QStringList& words);
    /// Bearings left out, all reasons and stations.
    int RejectedCount() const;
};
