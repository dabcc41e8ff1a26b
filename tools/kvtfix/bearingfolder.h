#pragma once

#include "contract/dfsentencereader.h"
#include "fusion/bearing.h"
#include "fusion/scenario.h"
#include "tools/kvtfix/inputlog.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTimeZone>

#include <memory>
#include <vector>

/// The bearings one station wrote: its folder's "bearings.jsonl" (bearing
/// messages) or, when that is missing, its "dfdata.txt" (DF sentences); a
/// path to a file is read as it is (".jsonl" as messages, anything else as
/// sentences). Reads on from where it stopped, so that it can follow a file
/// that grows; a file that became shorter (the station started a new one)
/// is read again from its start.
///
/// Sentences are read as their writer meant them (kvt::DfSentenceReader):
/// they get the folder's name as station name, the scenario's sigma of
/// that station (else the default), and the date of their first line as
/// given, else the date in the writer's zone of the scenario's start, else
/// the one the file's stamps and its last change give
/// (kvt::DfSentenceReader::FirstDate). With a scenario,
/// bearings of stations it does not name are refused.
class BearingFolder
{
public:
    struct Settings
    {
        const Scenario* pScenario = nullptr;
        double fDefaultSigma = 2.0;
        bool bRelativeAzimuth = true;
        /// The zone the sentences' times are in.
        QTimeZone sentenceZone = QTimeZone::systemTimeZone();
        /// The date of a sentence file's first line; null: found.
        QDate sentenceDate;
    };

    BearingFolder(const QString& path, const Settings& settings);

    /// Appends the bearings of the lines added since the last call and logs
    /// every refused line. A last line without its line end waits for the
    /// rest unless atEnd, when it is read as it is (and refused, as "cut
    /// line", if it does not parse). False with rError when there is no file
    /// to read (yet) or it cannot be opened.
    bool Read(bool atEnd, std::vector<Bearing>& rBearings, InputLog& rLog, QString& rError);

    /// The file being read; empty until one was found.
    QString GetFileName() const { return m_strFileName; }

private:
    bool FindFile();
    QDate FirstSentenceDate() const;
    void Decode(const QByteArray& line, bool cut, std::vector<Bearing>& rBearings, InputLog& rLog);

    QString m_strPath;
    Settings m_settings;
    QString m_strFileName;
    bool m_bJson = false;
    qint64 m_nOffset = 0;
    qint64 m_nLine = 0;
    QByteArray m_pending;
    std::unique_ptr<kvt::DfSentenceReader> m_pDecoder;
};
