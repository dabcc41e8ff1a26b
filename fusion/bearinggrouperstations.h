#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QtGlobal>

#include <list>

/// The stations a grouper keeps books on, at most a fixed number of them:
/// a new station beyond that makes the one heard from least recently be
/// forgotten (counted). Every step takes constant time, so that a flood of
/// names costs time in proportion to its length and memory in proportion to
/// the cap only.
///
/// Single-threaded.
class BearingGrouperStations
{
public:
    struct Entry
    {
        QString strName;
        /// Never given to another station, not even to this one after it was forgotten.
        qint64 nId = 0;
        /// Bearings refused as from the future.
        qint64 nFuture = 0;
    };

    /// maxStations below 1 is taken as 1.
    explicit BearingGrouperStations(int maxStations);

    /// The station's entry, now the freshest; a station not kept is added,
    /// forgetting the stalest when all places are taken. The reference stays
    /// valid until the next Touch().
    Entry& Touch(const QString& name);
    bool Contains(const QString& name) const { return m_mapEntries.contains(name); }

    int GetCount() const { return m_mapEntries.size(); }
    int GetMax() const { return m_nMax; }
    qint64 GetForgotten() const { return m_nForgotten; }
    /// The kept stations that sent bearings from the future, with their counts.
    QMap<QString, qint64> GetFutureCounts() const;

private:
    int m_nMax;
    qint64 m_nNextId = 1;
    qint64 m_nForgotten = 0;
    /// Stalest first.
    std::list<Entry> m_lstEntries;
    QHash<QString, std::list<Entry>::iterator> m_mapEntries;
};
