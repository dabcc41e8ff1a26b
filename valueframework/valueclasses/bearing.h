#pragma once

#include <QtGlobal>

namespace values
{

/// One bearing as drivers hand it over (arrays of these with a count).
/// The member order is part of the driver interface.
struct Bearing
{
    double frequency;  ///< Hz
    qint16 level;      ///< 1/100 dBuV
    quint16 azimuth;   ///< tenths of a degree
    qint16 elevation;  ///< tenths of a degree
    qint16 quality;    ///< above 0: a valid bearing
};

}
