#pragma once

#include "contract/bearingrecord.h"
#include "kvtcontract_export.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace kvt
{

/// Reads the DF sentences of one file (DfSentence) as their writer meant
/// them: the azimuth relative to the bow, turned by CMP to the true bearing,
/// and TIM in the writer's time zone.
///
/// A sentence does not carry what a fix needs beyond that: no station name
/// (the reader is told it, normally the station's folder name), no date (the
/// reader starts at a given date in the writer's zone and moves to the next
/// day when the time of day jumps back by more than twelve hours; FirstDate()
/// finds the start from the time the file was last written), no sigma
/// (a fixed one per station), no bandwidth (left 0: the grouping's default
/// channel width) and a time to the second only. Nor a sequence number: the
/// reader numbers the lines it is given from 1, so that the bearings of one
/// file are told apart even when they share second and azimuth, while the
/// same line read again is a repeat. In the hour that a change from summer
/// time repeats, a time of day is taken in its first pass.
///
/// Keeps the last time of day and the line count between lines; one reader
/// per file.
class KVTCONTRACT_EXPORT DfSentenceReader
{
public:
    struct Settings
    {
        QString strStation;
        /// The date, in zone, of the first line.
        QDate date;
        double fSigma = 2.0;
        /// False for old files written with true azimuths: the azimuth is
        /// then the true bearing and CMP only informs.
        bool bRelativeAzimuth = true;
        /// The writer's time zone; its local zone, as the DF data output writes.
        QTimeZone zone = QTimeZone::systemTimeZone();
    };

    explicit DfSentenceReader(Settings settings);

    /// The date in zone of the first stamped sentence of text, the content of
    /// a file last written at lastWritten: the stamps are followed in order,
    /// each jump back by more than twelve hours a new day, and the last one
    /// is the latest moment at or before lastWritten with its time of day (a
    /// file is written after its last sentence, and within a day of it).
    /// Lines without a time of day are passed over; lastWritten's date for a
    /// text without any.
    static QDate FirstDate(const QByteArray& text, const QTimeZone& zone, const QDateTime& lastWritten);

    /// Reads one line (with or without its CR LF). False with the reason
    /// when it is not a whole sentence, carries no valid bearing (azimuth
    /// -1.0 or outside [0, 360), quality 0), no position (LAT and LON both
    /// 0), no heading while the azimuth is relative, a time of day that the
    /// zone skips, or a field that is no number. The time of day of every
    /// line that has one counts for the change of day, refused or not.
    bool Read(const QByteArray& line, BearingRecord& rBearing, QString& rError);

private:
    Settings m_settings;
    qint64 m_nLines = 0;
    int m_nLastSecondOfDay = -1;
    int m_nDayOffset = 0;
};

} // namespace kvt
