#pragma once

#include "fusion/bearing.h"
#include "tools/kvtfix/sequencetracker.h"

#include <QFile>
#include <QString>

/// The bearings a live kvtfix used, one bearing message per line (a
/// bearings.jsonl that --input reads), kept across restarts of kvtfix.
///
/// Opening replays the lines already there into a SequenceTracker, so that a
/// kvtfix started again on its persistent session takes up the account where
/// the last one ended: what the broker hands over again is a repeat, and no
/// gap opens before the first number this run receives. Each line is written
/// with one unbuffered write as the bearing is used, so a killed kvtfix (even
/// SIGKILL) has recorded everything it used. A line the replay cannot read
/// (cut by a full disk) is skipped and counted.
class LiveRecord
{
public:
    /// Opens (creates) the file for appending after replaying it into
    /// rTracker; false with rError when it cannot be read or opened.
    bool Open(const QString& path, SequenceTracker& rTracker, QString& rError);
    /// Appends one used bearing; false, with the reason in GetError(), when the write failed.
    bool Append(const Bearing& bearing);

    QString GetFileName() const { return m_file.fileName(); }
    qint64 GetReplayed() const { return m_nReplayed; }
    qint64 GetUnreadable() const { return m_nUnreadable; }
    qint64 GetWritten() const { return m_nWritten; }
    /// The last write failure; empty when every write succeeded.
    QString GetError() const { return m_strError; }

private:
    QFile m_file;
    qint64 m_nReplayed = 0;
    qint64 m_nUnreadable = 0;
    qint64 m_nWritten = 0;
    QString m_strError;
};
