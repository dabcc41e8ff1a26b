#pragma once

#include "fusion/fix.h"
#include "fusion/scenario.h"

#include <QString>

#include <vector>

/// Judges fixes against the emitters of a scenario: position error, the
/// Cramer-Rao bound of the fix's own geometry and noise, whether the 95 %
/// ellipse holds the truth, how many of the emitter's windows got a fix and
/// how many fixes were ghosts.
///
/// A fix belongs to the emitter that transmits on its channel (within half
/// the emitter's bandwidth) during its span, the nearest if several do;
/// fixes of no emitter are counted apart. A fix is a ghost when it lies
/// more than GHOST_RADII of its bound from that emitter (where lines of
/// other emitters or wild bearings cross, not a fix of it at all), or when
/// an earlier fix of the same window already found that emitter. Ghosts
/// stay out of the error figures and the found windows.
class FixEvaluator
{
public:
    static constexpr double GHOST_RADII = 20.0;

    struct EmitterResult
    {
        QString strName;
        /// Fixes that are not ghosts.
        int nFixes = 0;
        double fMedianError = 0.0;
        double fError95 = 0.0;
        /// Median over the fixes of the median radial error that the
        /// Cramer-Rao covariance at the truth allows, from the bearings the
        /// fix kept (those of the emitter, without the wild ones).
        double fBound = 0.0;
        /// fMedianError / fBound: 1 is the best any unbiased estimator can do.
        double fRatio = 0.0;
        /// Fraction of fixes whose 95 % ellipse contains the truth.
        double fCoverage = 0.0;
        /// Windows (from the first to the last window seen) in which the emitter transmitted.
        int nWindows = 0;
        /// Of those, the windows with a fix of it.
        int nFound = 0;
        int nGhosts = 0;
    };

    /// windowS and maxAgeS as the grouping's: a window ends every windowS
    /// seconds and spans the maxAgeS seconds before its end.
    FixEvaluator(const Scenario& scenario, double windowS = 10.0, double maxAgeS = 10.0);

    void Add(const Fix& fix);
    /// One entry per emitter of the scenario, in its order (emitters without
    /// fixes have nFixes 0 and zero figures).
    std::vector<EmitterResult> Results() const;
    int GetUnassigned() const { return m_nUnassigned; }

    /// The q-quantile (0..1) of the values by linear interpolation between
    /// order statistics; 0 for none.
    static double Quantile(std::vector<double> values, double q);

private:
    struct Sample
    {
        double fError;
        double fBound;
        bool bCovered;
    };
    struct Tally
    {
        std::vector<Sample> lstSamples;
        int nFound = 0;
        int nGhosts = 0;
        qint64 nLastFoundMs = 0;
    };

    /// Whether the emitter transmits at some time within the span (seconds after the start).
    bool IsOnDuring(const Scenario::Emitter& emitter, double from, double to) const;

    const Scenario& m_scenario;
    qint64 m_nWindowMs;
    qint64 m_nMaxAgeMs;
    std::vector<Tally> m_lstTallies;
    int m_nUnassigned = 0;
    qint64 m_nFirstEndMs = 0;
    qint64 m_nLastEndMs = 0;
    bool m_bAny = false;
};
