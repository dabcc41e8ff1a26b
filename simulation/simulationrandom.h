#pragma once

#include <QtGlobal>

#include <random>

/// The simulation's source of chance. The standard library fixes the
/// generator's sequence but not the distributions', so uniform and normal
/// numbers are derived here: the same seed gives the same run on every
/// machine and library.
class SimulationRandom
{
public:
    explicit SimulationRandom(quint32 seed);

    /// Uniform in [from, to).
    double Uniform(double from, double to);
    /// Normal with mean 0 and the given standard deviation.
    double Gauss(double standardDeviation);

private:
    std::mt19937 m_generator;
};
