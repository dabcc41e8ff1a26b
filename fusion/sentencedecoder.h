#pragma once

#include "fusion/bearing.h"

#include <QByteArray>
#include <QDate>
#include <QString>

/// Reads the DF sentences a station writes to its "dfdata.txt", one file
/// line each:
///
///     $PLG,<azimuth>,FRQ,<Hz>,CMP,<heading>,QUA,<quality>,LEV,<level>,TIM,hhmmss,
///     ELV,<e>,PTC,<p>,RLL,<r>,ALT,<a>,PTM,hhmmss,LAT,<lat>,LON,<lon>[,SR,<index>]
///
/// A sentence does not carry what a fix needs beyond that: no station name
/// (the decoder is told it, normally the station's folder name), no date
/// (only the time of day; the decoder starts at a given date and moves to
/// the next day when the time of day jumps back by more than twelve hours),
/// no sigma (a fixed one per station), no bandwidth (left 0: the grouping's
/// default channel width), no sequence number (duplicates are found by
/// station, time and bearing only) and a time to the second only. The
/// azimuth is taken as a true bearing (the stations of this project write
/// it so) unless the settings say it is relative to the platform's bow (true
/// bearing = azimuth + CMP).
///
/// Keeps the last time of day between lines; one decoder per file.
class SentenceDecoder
{
public:
    struct Settings
    {
        QString strStation;
        QDate date;
        double fSigma = 2.0;
        bool bRelativeAzimuth = false;
    };

    explicit SentenceDecoder(Settings settings);

    /// Decodes one line (with or without its CR LF). False with the reason
    /// when it is not a whole sentence, carries no valid bearing (azimuth
    /// -1.0 or quality 0), no position (LAT and LON both 0), no heading while
    /// the azimuth is relative, or a field that is no number.
    bool Decode(const QByteArray& line, Bearing& rBearing, QString& rError);

private:
    Settings m_settings;
    int m_nLastSecondOfDay = -1;
    int m_nDayOffset = 0;
};
