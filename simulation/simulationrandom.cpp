#include "simulation/simulationrandom.h"

#include <cmath>

SimulationRandom::SimulationRandom(quint32 seed)
    : m_generator(seed)
{
}

double SimulationRandom::Uniform(double from, double to)
{
    // 32 random bits are fine enough for noise and phases.
    const double unit = static_cast<double>(m_generator()) / 4294967296.0;
    return from + unit * (to - from);
}

double SimulationRandom::Gauss(double standardDeviation)
{
    // Box-Muller; 1 - u keeps the logarithm away from 0.
    const double u = 1.0 - Uniform(0.0, 1.0);
    const double v = Uniform(0.0, 1.0);
    return standardDeviation * std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * v);
}
