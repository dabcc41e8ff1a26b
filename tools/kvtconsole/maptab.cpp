#include "tools/kvtconsole/maptab.h"

#include "tools/kvtconsole/mapview.h"
#include "tools/kvtconsole/networkmodel.h"

#include <QDateTime>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

QTableWidget* Table(const QStringList& headers)
{
    auto* pTable = new QTableWidget(0, headers.size());
    pTable->setHorizontalHeaderLabels(headers);
    pTable->verticalHeader()->hide();
    // Every column as wide as its header and content, the last one too (a
    // stretched last column would be cut when the side panel is narrow).
    pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pTable->setSelectionMode(QAbstractItemView::NoSelection);
    return pTable;
}

void SetRow(QTableWidget& table, int row, const QStringList& texts, const QBrush& foreground = QBrush())
{
    for (int column = 0; column < texts.size(); ++column) {
        if (table.item(row, column) == nullptr)
            table.setItem(row, column, new QTableWidgetItem);
        table.item(row, column)->setText(texts[column]);
        table.item(row, column)->setForeground(foreground);
    }
}

}

MapTab::MapTab(const NetworkModel& model, QWidget* pParent)
    : QWidget(pParent)
    , m_model(model)
    , m_pMap(new MapView(model))
    , m_pStations(Table({tr("Station"), tr("Role"), tr("State"), tr("Position"), tr("Bearing (° true)"),
                         tr("Handover (MHz)")}))
    , m_pFixes(Table({tr("Time (UTC)"), tr("Frequency (MHz)"), tr("Position"), tr("95 % ellipse (m)"), tr("Flags")}))
    , m_pFixSource(new QLabel)
    , m_pHandovers(Table({tr("Time (UTC)"), tr("Sender"), tr("Parameter"), tr("Value"), tr("Tuned receivers")}))
    , m_pWatch(new QLineEdit)
    , m_pFeed(new QLabel)
{
    m_pWatch->setPlaceholderText(tr("e.g. 145.5, 433.92"));
    m_pWatch->setToolTip(tr("A new fix on one of these frequencies (MHz) raises an alarm"));
    auto* pSide = new QWidget;
    auto* pSideLayout = new QVBoxLayout(pSide);
    pSideLayout->addWidget(m_pFeed);
    pSideLayout->addWidget(new QLabel(tr("Stations")));
    pSideLayout->addWidget(m_pStations, 1);
    pSideLayout->addWidget(new QLabel(tr("Fixes, newest first")));
    pSideLayout->addWidget(m_pFixSource);
    pSideLayout->addWidget(m_pFixes, 1);
    pSideLayout->addWidget(new QLabel(tr("Handovers, newest first")));
    pSideLayout->addWidget(m_pHandovers, 1);
    auto* pWatchForm = new QFormLayout;
    pWatchForm->addRow(tr("Watched frequencies (MHz):"), m_pWatch);
    pSideLayout->addLayout(pWatchForm);
    auto* pSplitter = new QSplitter(Qt::Horizontal);
    pSplitter->addWidget(m_pMap);
    pSplitter->addWidget(pSide);
    pSplitter->setStretchFactor(0, 3);
    pSplitter->setStretchFactor(1, 2);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(pSplitter);
    SetFeedState(tr("no broker (start with --mqtt HOST:PORT)"), false);
    m_pFixSource->setText(GetFixSource());
}

bool MapTab::IsWatched(double frequency) const
{
    for (const QString& part : m_pWatch->text().split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const double watched = part.toDouble(&ok) * 1e6;
        if (ok && std::abs(watched - frequency) <= WATCH_TOLERANCE)
            return true;
    }
    return false;
}

void MapTab::SetFeedState(const QString& text, bool bGood)
{
    m_pFeed->setText(text);
    m_pFeed->setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(bGood ? QStringLiteral("#2ca02c")
                                                                             : QStringLiteral("#d62728")));
}

void MapTab::Refresh()
{
    m_pMap->Refresh();
    if (m_model.GetGeneration() == m_nShownGeneration)
        return;
    m_nShownGeneration = m_model.GetGeneration();
    RefreshStations();
    RefreshFixes();
    RefreshHandovers();
    m_pFixSource->setText(GetFixSource());
}

QString MapTab::GetFixSource() const
{
    const NetworkModel::Fusion& fusion = m_model.GetFusion();
    if (m_model.HasPublishedFixes())
        return tr("from the fusion service %1").arg(fusion.strService);
    if (fusion.bKnown && !fusion.bOnline)
        return tr("made here: the fusion service %1 is offline").arg(fusion.strService);
    return tr("made here from the bearings: no fusion service publishes fixes");
}

void MapTab::RefreshStations()
{
    m_pStations->setRowCount(static_cast<int>(m_model.GetStations().size()));
    int row = 0;
    for (const auto& entry : m_model.GetStations()) {
        const NetworkModel::Station& station = entry.second;
        SetRow(*m_pStations, row++,
               {station.strName, MapView::RoleText(station.strRole), station.bOnline ? tr("online") : tr("offline"),
                station.bPositionKnown ? QStringLiteral("%1°, %2°").arg(station.fLatitude, 0, 'f', 4).arg(station.fLongitude, 0, 'f', 4)
                                       : QString(),
                station.bHasBearing ? QString::number(station.fBearing, 'f', 1) : QString(),
                station.fHandoverFrequency > 0.0 ? QString::number(station.fHandoverFrequency / 1e6, 'f', 3) : QString()},
               station.bOnline ? QBrush() : QBrush(MapView::OFFLINE_COLOUR));
    }
}

void MapTab::RefreshFixes()
{
    const std::deque<NetworkModel::MapFix>& fixes = m_model.GetFixes();
    const int rows = static_cast<int>(std::min<std::size_t>(FIX_ROWS, fixes.size()));
    m_pFixes->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const Fix& fix = fixes[fixes.size() - 1 - static_cast<std::size_t>(row)].fix;
        SetRow(*m_pFixes, row,
               {QDateTime::fromMSecsSinceEpoch(fix.nEndMs, Qt::UTC).toString(QStringLiteral("hh:mm:ss")),
                QString::number(fix.fFrequency / 1e6, 'f', 3),
                QStringLiteral("%1°, %2°").arg(fix.fLatitude, 0, 'f', 4).arg(fix.fLongitude, 0, 'f', 4),
                QStringLiteral("%1 × %2").arg(fix.ellipse.fSemiMajor, 0, 'f', 0).arg(fix.ellipse.fSemiMinor, 0, 'f', 0),
                fix.FlagNames().join(QStringLiteral(", "))},
               fix.nFlags != 0 ? QBrush(MapView::FLAGGED_FIX_COLOUR) : QBrush());
    }
}

void MapTab::RefreshHandovers()
{
    const std::deque<NetworkModel::Handover>& handovers = m_model.GetHandovers();
    const int rows = static_cast<int>(handovers.size());
    m_pHandovers->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const NetworkModel::Handover& handover = handovers[handovers.size() - 1 - static_cast<std::size_t>(row)];
        // Before the network's first bearing there is no time to give.
        const QString time = handover.nTimeMs > 0 ? QDateTime::fromMSecsSinceEpoch(handover.nTimeMs, Qt::UTC)
                                                        .toString(QStringLiteral("hh:mm:ss"))
                                                  : QString();
        const QString value = handover.strTag == QLatin1String("FRQ")
                                  ? tr("%1 MHz").arg(handover.strValue.toDouble() / 1e6, 0, 'f', 3)
                                  : handover.strValue;
        SetRow(*m_pHandovers, row,
               {time, handover.strSender, handover.strTag, value, handover.lstApplied.join(QStringLiteral(", "))});
    }
}
