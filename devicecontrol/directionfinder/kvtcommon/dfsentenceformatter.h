#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

namespace values
{
class BearingResult;
}

/// The text of the DF data output's sentences (see DFDataOutput for the
/// format): Begin() takes the current bearing and the platform of one output,
/// and the lines are then built from them. Keeps the last time texts, since
/// the local-time conversion costs more than the rest of a sentence; so one
/// formatter serves one output. Internal to the library. Single-threaded.
class DFSentenceFormatter
{
public:
    /// What the sentences say about the platform; a missing value's stand-in
    /// is the caller's (heading -1, everything else 0).
    struct Platform
    {
        double fHeading = -1.0;  ///< tenths of a degree
        double fPitch = 0.0;
        double fRoll = 0.0;
        double fAltitude = 0.0;
        double fLatitude = 0.0;
        double fLongitude = 0.0;
        /// Without a position time its field stays empty.
        bool bPositionTime = false;
        quint64 nPositionTime = 0;
    };

    DFSentenceFormatter();
    ~DFSentenceFormatter();

    /// pBearing: the current bearing, null when there is none.
    void Begin(const values::BearingResult* pBearing, const Platform& platform);
    /// The sentence with the position extension and CR LF.
    QByteArray FileLine();
    /// The bare sentence and CR LF.
    QByteArray SerialLine();
    /// One file line per bearing, each ended by ",SR,<index>" and CR LF, and an
    /// empty line after them.
    QByteArray ScanBlock(const std::vector<values::BearingResult>& bearings);

private:
    class TimeText;

    QByteArray Sentence(const values::BearingResult* pBearing, bool bScan) const;

    Platform m_platform;
    QByteArray m_bearingTime;
    /// The current bearing's sentence and the position extension.
    QByteArray m_sentence;
    QByteArray m_extension;
    std::vector<TimeText> m_aTimeTexts;
};
