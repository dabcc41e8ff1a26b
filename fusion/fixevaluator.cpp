#include "fusion/fixevaluator.h"

#include "fusion/fixestimator.h"
#include "fusion/geodesy.h"

#include <Eigen/Cholesky>

#include <algorithm>
#include <cmath>

namespace {

constexpr double DEGREE = M_PI / 180.0;

/// The q-quantile of the values by linear interpolation between order statistics.
double Quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    const double position = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<size_t>(std::floor(position));
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (position - static_cast<double>(below)) * (values[above] - values[below]);
}

}

FixEvaluator::FixEvaluator(const Scenario& scenario)
    : m_scenario(scenario)
    , m_lstSamples(scenario.GetEmitters().size())
{
}

void FixEvaluator::Add(const Fix& fix)
{
    const auto& emitters = m_scenario.GetEmitters();
    const double windowMiddle = 0.5 * static_cast<double>(fix.nStartMs + fix.nEndMs - 2 * m_scenario.GetStartMs()) / 1000.0;
    int best = -1;
    Geodesy::Link bestLink;
    for (size_t i = 0; i < emitters.size(); ++i) {
        const Scenario::Emitter& emitter = emitters[i];
        if (std::abs(fix.fFrequency - emitter.fFrequency) > 0.5 * emitter.fBandwidth || windowMiddle < emitter.fOn
            || windowMiddle >= emitter.fOff)
            continue;
        const Geodesy::Link link = Geodesy::Between(fix.fLatitude, fix.fLongitude, emitter.fLatitude, emitter.fLongitude);
        if (best < 0 || link.fDistance < bestLink.fDistance) {
            best = static_cast<int>(i);
            bestLink = link;
        }
    }
    if (best < 0) {
        ++m_nUnassigned;
        return;
    }
    const Scenario::Emitter& emitter = emitters[static_cast<size_t>(best)];
    const Eigen::Matrix2d information = FixEstimator::Information(emitter.fLatitude, emitter.fLongitude, fix.lstLines);
    const Eigen::Matrix2d bound = information.ldlt().solve(Eigen::Matrix2d::Identity());
    const double east = bestLink.fDistance * std::sin(bestLink.fAzimuth * DEGREE);
    const double north = bestLink.fDistance * std::cos(bestLink.fAzimuth * DEGREE);
    m_lstSamples[static_cast<size_t>(best)].push_back(
        {bestLink.fDistance, ErrorEllipse::MedianRadius(bound),
         ErrorEllipse::Contains(fix.covariance, east, north, ErrorEllipse::PROBABILITY_95)});
}

std::vector<FixEvaluator::EmitterResult> FixEvaluator::Results() const
{
    std::vector<EmitterResult> results;
    const auto& emitters = m_scenario.GetEmitters();
    for (size_t i = 0; i < emitters.size(); ++i) {
        EmitterResult result;
        result.strName = emitters[i].strName;
        const std::vector<Sample>& samples = m_lstSamples[i];
        result.nFixes = static_cast<int>(samples.size());
        if (!samples.empty()) {
            std::vector<double> errors, bounds;
            int covered = 0;
            for (const Sample& sample : samples) {
                errors.push_back(sample.fError);
                bounds.push_back(sample.fBound);
                covered += sample.bCovered ? 1 : 0;
            }
            result.fMedianError = Quantile(errors, 0.5);
            result.fError95 = Quantile(errors, 0.95);
            result.fBound = Quantile(bounds, 0.5);
            result.fRatio = result.fBound > 0.0 ? result.fMedianError / result.fBound : 0.0;
            result.fCoverage = static_cast<double>(covered) / static_cast<double>(samples.size());
        }
        results.push_back(result);
    }
    return results;
}
