#pragma once

#include "fusion/errorellipse.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <Eigen/Core>

#include <vector>

/// What one station contributed to a fix: its position and the mean of its
/// bearings in the window (drawn as the station's bearing line).
struct FixLine
{
    QString strStation;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    double fBearing = 0.0;
    double fSigma = 0.0;
    int nBearings = 0;
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
    };

    /// False when no position could be estimated (fewer than two stations,
    /// parallel lines); the position fields are then meaningless.
    bool bValid = false;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    /// Square metres over (east, north) at the fix.
    Eigen::Matrix2d covariance = Eigen::Matrix2d::Zero();
    ErrorEllipse ellipse;
    int nStations = 0;
    int nBearings = 0;
    /// Root mean square of the bearing residuals in degrees.
    double fResidualRms = 0.0;
    /// Sum of the squared residuals over their variances; about
    /// nBearings - 2 when the sigmas are right.
    double fChiSquare = 0.0;
    unsigned nFlags = 0;
    int nIterations = 0;
    double fFrequency = 0.0;
    qint64 nStartMs = 0;
    qint64 nEndMs = 0;
    std::vector<FixLine> lstLines;

    /// The flags as words: "few-bearings", "near-parallel", "behind-station", "not-converged".
    QStringList FlagNames() const;
};
