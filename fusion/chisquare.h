#pragma once

/// The chi-square distribution's upper tail, for the consistency test of a fix.
namespace ChiSquare
{

/// P(X >= value) for X chi-square distributed with `degrees` degrees of
/// freedom: the regularised upper incomplete gamma function Q(degrees/2,
/// value/2). 1 for value <= 0 or degrees < 1.
double UpperTail(double value, int degrees);

}
