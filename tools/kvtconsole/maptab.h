#pragma once

#include <QWidget>

#include <vector>

class MapView;
class NetworkModel;
class QLabel;
class QLineEdit;
class QTableWidget;

/// The "Map" tab: the map of the network (MapView) and beside it the list of
/// stations (name, role, state, position, latest bearing, handover), of
/// the newest fixes (time, frequency, position, 95 % ellipse, flags) with
/// where they come from (the fusion service, or made here), of the handovers
/// (time, sender, parameter, value, the receivers seen tuned to it), and the
/// frequencies the operator watches for new fixes (MHz, separated by
/// commas or blanks). Texts pass through the translation context "MapTab".
class MapTab : public QWidget
{
    Q_OBJECT
public:
    /// Fixes listed, newest first.
    static constexpr int FIX_ROWS = 30;
    /// How close a fix's frequency must come to a watched one, Hz.
    static constexpr double WATCH_TOLERANCE = 12500.0;

    explicit MapTab(const NetworkModel& model, QWidget* pParent = nullptr);

    MapView& GetMapView() { return *m_pMap; }
    QTableWidget& GetStationList() { return *m_pStations; }
    QTableWidget& GetFixList() { return *m_pFixes; }
    /// Newest first.
    QTableWidget& GetHandoverList() { return *m_pHandovers; }
    /// Where the fixes come from, for people.
    QString GetFixSource() const;
    QLineEdit& GetWatchEdit() { return *m_pWatch; }
    /// Whether a fix at that frequency (Hz) is on a watched frequency.
    bool IsWatched(double frequency) const;
    /// Says how the map is fed ("broker 127.0.0.1:1883 connected", "no broker").
    void SetFeedState(const QString& text, bool bGood);
    /// Brings the lists and the map up to the model (the window's frame timer calls it).
    void Refresh();

private:
    void RefreshStations();
    void RefreshFixes();
    void RefreshHandovers();

    const NetworkModel& m_model;
    MapView* m_pMap = nullptr;
    QTableWidget* m_pStations = nullptr;
    QTableWidget* m_pFixes = nullptr;
    QLabel* m_pFixSource = nullptr;
    QTableWidget* m_pHandovers = nullptr;
    QLineEdit* m_pWatch = nullptr;
    QLabel* m_pFeed = nullptr;
    quint64 m_nShownGeneration = 0;
};
