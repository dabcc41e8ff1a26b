#include "fusion/fixevaluator.h"

#include "fusion/fixestimator.h"
#include "fusion/geodesy.h"

#include <Eigen/Cholesky>

#include <algorithm>
#include <cmath>

namespace {

constexpr double DEGREE = M_PI / 180.0;
/// The finest step (seconds) at which a span is searched for an emitter's talk.
constexpr double ON_STEP_S = 0.5;

}

FixEvaluator::FixEvaluator(const Scenario& scenario, double windowS, double maxAgeS)
    : m_scenario(scenario)
    , m_nWindowMs(std::max<qint64>(1, std::llround(windowS * 1000.0)))
    , m_nMaxAgeMs(std::max<qint64>(1, std::llround(maxAgeS * 1000.0)))
    , m_lstTallies(scenario.GetEmitters().size())
{
}

double FixEvaluator::Quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const double position = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<size_t>(std::floor(position));
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (position - static_cast<double>(below)) * (values[above] - values[below]);
}

bool FixEvaluator::IsOnDuring(const Scenario::Emitter& emitter, double from, double to) const
{
    const double begin = std::max(from, emitter.fOn);
    const double end = std::min(to, emitter.fOff);
    if (!(begin < end))
        return false;
    if (!(emitter.fCycle > 0.0))
        return true;
    const double step = std::max(std::min(ON_STEP_S, 0.5 * emitter.fTalk), 1e-3);
    for (double t = begin; t < end; t += step) {
        if (emitter.IsOn(t))
            return true;
    }
    return false;
}

void FixEvaluator::Add(const Fix& fix)
{
    if (!m_bAny || fix.nEndMs < m_nFirstEndMs)
        m_nFirstEndMs = fix.nEndMs;
    m_nLastEndMs = std::max(m_nLastEndMs, fix.nEndMs);
    m_bAny = true;
    const auto& emitters = m_scenario.GetEmitters();
    const double from = static_cast<double>(fix.nStartMs - m_scenario.GetStartMs()) / 1000.0;
    const double to = static_cast<double>(fix.nEndMs - m_scenario.GetStartMs()) / 1000.0;
    int best = -1;
    Geodesy::Link bestLink;
    for (size_t i = 0; i < emitters.size(); ++i) {
        const Scenario::Emitter& emitter = emitters[i];
        if (std::abs(fix.fFrequency - emitter.fFrequency) > 0.5 * emitter.fBandwidth
            || !IsOnDuring(emitter, from, std::max(to, from + 1e-3)))
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
    Tally& tally = m_lstTallies[static_cast<size_t>(best)];
    const Eigen::Matrix2d information = FixEstimator::Information(emitter.fLatitude, emitter.fLongitude, fix.lstLines);
    const Eigen::Matrix2d bound = information.ldlt().solve(Eigen::Matrix2d::Identity());
    const double radius = ErrorEllipse::MedianRadius(bound);
    const bool found = tally.nFound > 0 && tally.nLastFoundMs == fix.nEndMs;
    if (found || !(bestLink.fDistance <= GHOST_RADII * radius)) {
        ++tally.nGhosts;
        return;
    }
    ++tally.nFound;
    tally.nLastFoundMs = fix.nEndMs;
    const double east = bestLink.fDistance * std::sin(bestLink.fAzimuth * DEGREE);
    const double north = bestLink.fDistance * std::cos(bestLink.fAzimuth * DEGREE);
    tally.lstSamples.push_back(
        {bestLink.fDistance, radius, ErrorEllipse::Contains(fix.covariance, east, north, ErrorEllipse::PROBABILITY_95)});
}

std::vector<FixEvaluator::EmitterResult> FixEvaluator::Results() const
{
    std::vector<EmitterResult> results;
    const auto& emitters = m_scenario.GetEmitters();
    for (size_t i = 0; i < emitters.size(); ++i) {
        EmitterResult result;
        result.strName = emitters[i].strName;
        const Tally& tally = m_lstTallies[i];
        result.nFixes = static_cast<int>(tally.lstSamples.size());
        result.nFound = tally.nFound;
        result.nGhosts = tally.nGhosts;
        for (qint64 end = m_nFirstEndMs; m_bAny && end <= m_nLastEndMs; end += m_nWindowMs) {
            const double to = static_cast<double>(end - m_scenario.GetStartMs()) / 1000.0;
            result.nWindows += IsOnDuring(emitters[i], to - m_nMaxAgeMs / 1000.0, to) ? 1 : 0;
        }
        if (tally.lstSamples.empty()) {
            results.push_back(result);
            continue;
        }
        std::vector<double> errors, bounds;
        int covered = 0;
        for (const Sample& sample : tally.lstSamples) {
            errors.push_back(sample.fError);
            bounds.push_back(sample.fBound);
            covered += sample.bCovered ? 1 : 0;
        }
        result.fMedianError = Quantile(errors, 0.5);
        result.fError95 = Quantile(errors, 0.95);
        result.fBound = Quantile(bounds, 0.5);
        result.fRatio = result.fBound > 0.0 ? result.fMedianError / result.fBound : 0.0;
        result.fCoverage = static_cast<double>(covered) / static_cast<double>(tally.lstSamples.size());
        results.push_back(result);
    }
    return results;
}
