#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QtGlobal>

/// What the inputs gave and what was refused, by reason, with the first
/// few refusals spelled out ("<file>:<line>: <reason>").
class InputLog
{
public:
    static constexpr int MAX_EXAMPLES = 10;

    void Read() { ++m_nRead; }
    void Refuse(const QString& where, const QString& reason);

    qint64 GetRead() const { return m_nRead; }
    qint64 GetRefused() const { return m_nRefused; }
    const QMap<QString, qint64>& GetReasons() const { return m_mapReasons; }
    const QStringList& GetExamples() const { return m_lstExamples; }

private:
    qint64 m_nRead = 0;
    qint64 m_nRefused = 0;
    QMap<QString, qint64> m_mapReasons;
    QStringList m_lstExamples;
};
