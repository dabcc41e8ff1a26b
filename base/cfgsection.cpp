#include "base/cfgsection_p.h"

#include "base/cfgdocument_p.h"

CfgSection::CfgSection(std::shared_ptr<CfgDocument> document, const QString& path, bool bCounted)
    : m_pDocument(std::move(document))
    , m_strPath(path)
    , m_bCounted(bCounted)
{
    if (m_bCounted)
        m_pDocument->AddHandle();
}

CfgSection::~CfgSection()
{
    if (m_bCounted)
        m_pDocument->ReleaseHandle();
}

ICfg* CfgSection::GetSubCfg(const QString& path, View)
{
    QStringList components = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (components.isEmpty())
        return nullptr;
    if (!m_strPath.isEmpty())
        components.prepend(m_strPath);
    return new CfgSection(m_pDocument, components.join(QLatin1Char('/')), true);
}

QString CfgSection::GetString(const QString& key, const QString& def, int)
{
    const CfgDocument::Entry* entry = m_pDocument->Find(m_strPath, key);
    return entry ? entry->strValue : def;
}

int CfgSection::GetInt(const QString& key, int def, int)
{
    const CfgDocument::Entry* entry = m_pDocument->Find(m_strPath, key);
    bool ok = false;
    const int value = entry ? entry->strValue.trimmed().toInt(&ok) : 0;
    return ok ? value : def;
}

bool CfgSection::GetBool(const QString& key, bool def, int)
{
    static const QStringList s_lstTrue = {QStringLiteral("true"), QStringLiteral("1"), QStringLiteral("yes")};
    static const QStringList s_lstFalse = {QStringLiteral("false"), QStringLiteral("0"), QStringLiteral("no")};
    const CfgDocument::Entry* entry = m_pDocument->Find(m_strPath, key);
    const QString text = entry ? entry->strValue.trimmed() : QString();
    if (s_lstTrue.contains(text, Qt::CaseInsensitive))
        return true;
    if (s_lstFalse.contains(text, Qt::CaseInsensitive))
        return false;
    return def;
}

void CfgSection::SetReadOnly(const QString& key, bool readOnly, int)
{
    m_pDocument->SetReadOnly(m_strPath, key, readOnly);
}

void CfgSection::SetString(const QString& key, const QString& value, int)
{
    if (!key.isEmpty())
        m_pDocument->SetValue(m_strPath, key, value);
}

void CfgSection::SetInt(const QString& key, int value, int)
{
    SetString(key, QString::number(value), 0);
}

void CfgSection::SetBool(const QString& key, bool value, int)
{
    SetString(key, value ? QStringLiteral("true") : QStringLiteral("false"), 0);
}

bool CfgSection::Contains(const QString& key) const
{
    return m_pDocument->Find(m_strPath, key) != nullptr;
}

bool CfgSection::IsReadOnly(const QString& key) const
{
    const CfgDocument::Entry* entry = m_pDocument->Find(m_strPath, key);
    return entry && entry->bReadOnly;
}

QStringList CfgSection::GetKeys() const
{
    return m_pDocument->GetKeys(m_strPath);
}

QStringList CfgSection::GetSubCfgNames() const
{
    return m_pDocument->GetSubSectionNames(m_strPath);
}

bool CfgSection::RemoveKey(const QString& key)
{
    return m_pDocument->Remove(m_strPath, key);
}

QString CfgSection::GetFileName() const
{
    return m_pDocument->GetFileName();
}
