#pragma once

#include <QTableWidget>

class BearingRing;

/// The latest accepted bearings, newest on top, one row each: time (UTC),
/// frequency, true bearing, the azimuth from the bow, elevation, quality, level. Shows at most ROWS; the
/// rows are made once and only their texts change, so refreshing costs the
/// same however many bearings have come. Texts pass through the translation
/// context "LatestBearingsTable".
class LatestBearingsTable : public QTableWidget
{
    Q_OBJECT
public:
    static constexpr int ROWS = 20;

    explicit LatestBearingsTable(QWidget* pParent = nullptr);

    /// Shows the youngest entries of the ring.
    void Show(const BearingRing& bearings);
};
