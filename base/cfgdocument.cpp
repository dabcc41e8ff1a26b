#include "base/cfgdocument_p.h"

#include "base/cfginiformat_p.h"
#include "base/errorhandler.h"
#include "base/trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <iterator>
#include <set>

std::shared_ptr<CfgDocument> CfgDocument::Open(const QString& fileName)
{
    static QHash<QString, std::weak_ptr<CfgDocument>> s_mapOpen;
    for (auto it = s_mapOpen.begin(); it != s_mapOpen.end();)
        it = it->expired() ? s_mapOpen.erase(it) : std::next(it);
    const QString path = QFileInfo(fileName).absoluteFilePath();
    std::shared_ptr<CfgDocument> document = s_mapOpen.value(path).lock();
    if (!document) {
        document = std::make_shared<CfgDocument>(path);
        s_mapOpen.insert(path, document);
    }
    return document;
}

CfgDocument::CfgDocument(const QString& fileName)
    : m_strFileName(fileName)
{
    QFile file(m_strFileName);
    if (file.open(QIODevice::ReadOnly))
        m_mapSections = CfgIniFormat::Parse(file.readAll());
}

const CfgDocument::Entry* CfgDocument::Find(const QString& section, const QString& key) const
{
    const auto sectionIt = m_mapSections.constFind(section);
    if (sectionIt == m_mapSections.cend())
        return nullptr;
    const auto entryIt = sectionIt->constFind(key);
    return entryIt == sectionIt->cend() ? nullptr : &entryIt.value();
}

void CfgDocument::SetValue(const QString& section, const QString& key, const QString& value)
{
    const Entry* existing = Find(section, key);
    if (existing && existing->strValue == value)
        return;
    m_mapSections[section][key].strValue = value;
    Save();
}

void CfgDocument::SetReadOnly(const QString& section, const QString& key, bool readOnly)
{
    const Entry* existing = Find(section, key);
    if (existing && existing->bReadOnly != readOnly) {
        m_mapSections[section][key].bReadOnly = readOnly;
        Save();
    }
}

bool CfgDocument::Remove(const QString& section, const QString& key)
{
    auto sectionIt = m_mapSections.find(section);
    if (sectionIt == m_mapSections.end() || sectionIt->remove(key) == 0)
        return false;
    if (sectionIt->isEmpty())
        m_mapSections.erase(sectionIt);
    Save();
    return true;
}

QStringList CfgDocument::GetKeys(const QString& section) const
{
    return m_mapSections.value(section).keys();
}

QStringList CfgDocument::GetSubSectionNames(const QString& section) const
{
    const QString prefix = section.isEmpty() ? QString() : section + QLatin1Char('/');
    std::set<QString> names;
    for (auto it = m_mapSections.cbegin(); it != m_mapSections.cend(); ++it) {
        if (it.key().size() > prefix.size() && it.key().startsWith(prefix))
            names.insert(it.key().mid(prefix.size()).section(QLatin1Char('/'), 0, 0));
    }
    return QStringList(names.begin(), names.end());
}

void CfgDocument::Save() const
{
    QSaveFile file(m_strFileName);
    const bool saved = QDir().mkpath(QFileInfo(m_strFileName).absolutePath())
        && file.open(QIODevice::WriteOnly)
        && file.write(CfgIniFormat::Serialize(m_mapSections)) >= 0
        && file.commit();
    if (!saved && ErrorHandler::Instance().TracesEnabled()) {
        _Q_Trace(QStringLiteral("WARNING: configuration file '%1' could not be written: %2")
                     .arg(m_strFileName, file.errorString()),
                 __FILE__, __LINE__);
    }
}
