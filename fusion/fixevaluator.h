#pragma once

#include "fusion/fix.h"
#include "fusion/scenario.h"

#include <QString>

#include <vector>

/// Judges fixes against the emitters of a scenario: position error, the
/// Cramer-Rao bound of the fix's own geometry and noise, and whether the 95 %
/// ellipse holds the truth.
///
/// A fix belongs to the emitter that transmits on its channel (within half
/// the emitter's bandwidth) during its window, the nearest if several do;
/// fixes of no emitter are counted apart.
class FixEvaluator
{
public:
    struct EmitterResult
    {
        QString strName;
        int nFixes = 0;
        double fMedianError = 0.0;
        double fError95 = 0.0;
        /// Median over the fixes of the median radial error that the
        /// Cramer-Rao covariance at the truth allows.
        double fBound = 0.0;
        /// fMedianError / fBound: 1 is the best any unbiased estimator can do.
        double fRatio = 0.0;
        /// Fraction of fixes whose 95 % ellipse contains the truth.
        double fCoverage = 0.0;
    };

    explicit FixEvaluator(const Scenario& scenario);

    void Add(const Fix& fix);
    /// One entry per emitter of the scenario, in its order (emitters without
    /// fixes have nFixes 0 and zero figures).
    std::vector<EmitterResult> Results() const;
    int GetUnassigned() const { return m_nUnassigned; }

private:
    struct Sample
    {
        double fError;
        double fBound;
        bool bCovered;
    };

    const Scenario& m_scenario;
    std::vector<std::vector<Sample>> m_lstSamples;
    int m_nUnassigned = 0;
};
