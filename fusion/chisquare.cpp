#include "fusion/chisquare.h"

#include <cmath>

namespace {

constexpr int MAX_TERMS = 500;
constexpr double EPSILON = 1e-14;
constexpr double TINY = 1e-300;

/// P(a, x) by its power series; converges quickly for x < a + 1.
double LowerSeries(double a, double x)
{
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < MAX_TERMS && std::abs(term) > std::abs(sum) * EPSILON; ++n) {
        term *= x / (a + n);
        sum += term;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

/// Q(a, x) by its continued fraction (modified Lentz); for x >= a + 1.
double UpperFraction(double a, double x)
{
    double b = x + 1.0 - a;
    double c = 1.0 / TINY;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < MAX_TERMS; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        d = std::abs(d) < TINY ? TINY : d;
        c = b + an / c;
        c = std::abs(c) < TINY ? TINY : c;
        d = 1.0 / d;
        const double delta = d * c;
        h *= delta;
        if (std::abs(delta - 1.0) < EPSILON)
            break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

}

double ChiSquare::UpperTail(double value, int degrees)
{
    if (!(value > 0.0) || degrees < 1)
        return 1.0;
    const double a = 0.5 * degrees;
    const double x = 0.5 * value;
    return x < a + 1.0 ? 1.0 - LowerSeries(a, x) : UpperFraction(a, x);
}
