#include "tools/kvtfix/bearingfolder.h"

#include "fusion/bearingjson.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString MESSAGE_FILE = QStringLiteral("bearings.jsonl");
const QString SENTENCE_FILE = QStringLiteral("dfdata.txt");

}

BearingFolder::BearingFolder(const QString& path, const Settings& settings)
    : m_strPath(path)
    , m_settings(settings)
{
}

bool BearingFolder::Read(bool atEnd, std::vector<Bearing>& rBearings, InputLog& rLog, QString& rError)
{
    if (m_strFileName.isEmpty() && !FindFile()) {
        rError = QStringLiteral("%1: no %2 or %3").arg(m_strPath, MESSAGE_FILE, SENTENCE_FILE);
        return false;
    }
    QFile file(m_strFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        rError = QStringLiteral("%1: %2").arg(m_strFileName, file.errorString());
        return false;
    }
    if (file.size() < m_nOffset) {
        m_nOffset = 0;
        m_nLine = 0;
        m_pending.clear();
        m_pDecoder.reset();
    }
    if (!file.seek(m_nOffset)) {
        rError = QStringLiteral("%1: %2").arg(m_strFileName, file.errorString());
        return false;
    }
    const QByteArray added = file.readAll();
    m_nOffset += added.size();
    m_pending += added;
    int start = 0;
    for (int end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n', start)) {
        Decode(m_pending.mid(start, end - start), false, rBearings, rLog);
        start = end + 1;
    }
    m_pending.remove(0, start);
    if (atEnd && !m_pending.isEmpty()) {
        Decode(m_pending, true, rBearings, rLog);
        m_pending.clear();
    }
    return true;
}

bool BearingFolder::FindFile()
{
    const QFileInfo info(m_strPath);
    if (info.isFile()) {
        m_strFileName = info.absoluteFilePath();
        m_bJson = info.suffix() == QLatin1String("jsonl");
        return true;
    }
    const QDir dir(m_strPath);
    for (const QString& name : {MESSAGE_FILE, SENTENCE_FILE}) {
        if (dir.exists(name)) {
            m_strFileName = dir.absoluteFilePath(name);
            m_bJson = name == MESSAGE_FILE;
            return true;
        }
    }
    return false;
}

QDate BearingFolder::FirstSentenceDate() const
{
    if (m_settings.sentenceDate.isValid())
        return m_settings.sentenceDate;
    if (m_settings.pScenario != nullptr)
        return QDateTime::fromMSecsSinceEpoch(m_settings.pScenario->GetStartMs(), m_settings.sentenceZone).date();
    // The whole file as it is now: it was last changed after its last stamp.
    QFile file(m_strFileName);
    const QDateTime lastWritten = QFileInfo(file).lastModified();
    return kvt::DfSentenceReader::FirstDate(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(),
                                            m_settings.sentenceZone, lastWritten);
}

void BearingFolder::Decode(const QByteArray& line, bool cut, std::vector<Bearing>& rBearings, InputLog& rLog)
{
    ++m_nLine;
    if (line.trimmed().isEmpty())
        return;
    rLog.Read();
    const QString where = QStringLiteral("%1:%2").arg(m_strFileName).arg(m_nLine);
    Bearing bearing;
    QString error;
    bool ok = false;
    if (m_bJson) {
        ok = BearingJson::Parse(line, bearing, error);
    } else {
        if (!m_pDecoder) {
            const QFileInfo info(m_strFileName);
            const QString station = (QFileInfo(m_strPath).isFile() ? info.dir() : QDir(m_strPath)).dirName();
            kvt::DfSentenceReader::Settings settings;
            settings.strStation = station;
            const Scenario::Station* pStation =
                m_settings.pScenario != nullptr ? m_settings.pScenario->FindStation(station) : nullptr;
            settings.fSigma = pStation != nullptr ? pStation->fSigma : m_settings.fDefaultSigma;
            settings.zone = m_settings.sentenceZone;
            settings.date = FirstSentenceDate();
            settings.bRelativeAzimuth = m_settings.bRelativeAzimuth;
            m_pDecoder = std::make_unique<kvt::DfSentenceReader>(settings);
        }
        ok = m_pDecoder->Read(line, bearing, error);
    }
    if (ok && m_settings.pScenario != nullptr && m_settings.pScenario->FindStation(bearing.strStation) == nullptr) {
        ok = false;
        error = QStringLiteral("unknown station");
    }
    if (!ok) {
        rLog.Refuse(where, cut ? QStringLiteral("cut line") : error);
        return;
    }
    rBearings.push_back(bearing);
}
