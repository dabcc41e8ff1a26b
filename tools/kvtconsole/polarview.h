#pragma once

#include "station/polargeometry.h"
#include "tools/kvtconsole/bearingring.h"
#include "tools/kvtconsole/tippedwidget.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <vector>

namespace values
{
class BearingResult;
}

/// The live polar display of the accepted bearings (see PolarGeometry for
/// the picture): each bearing is a dot at its true bearing in its band's
/// colour that fades as it ages and is gone after FADE_MS; the device's
/// uncovered sectors are shaded and the bow is marked at the platform's
/// current heading. North is up unless the display is switched to bow up
/// (SetBowUp), which turns the whole picture by the current heading.
/// Hovering over a dot shows the bearing's values as a tool tip.
///
/// Age is measured against the clock the host sets with SetNow() (the
/// station's clock, which the bearings' time stamps follow), so a paused
/// station keeps its picture. The bearings live in a BearingRing of
/// CAPACITY entries: memory stays bounded at any bearing rate. Adding a
/// bearing only stores it; painting happens when Qt repaints, at most once
/// per SetNow(), so the cost per bearing is independent of the frame rate.
/// The grid is painted once per size into a cached picture.
///
/// Texts pass through the translation context "PolarView". Single-threaded.
class PolarView : public TippedWidget
{
    Q_OBJECT
public:
    static constexpr std::size_t CAPACITY = 16384;
    static constexpr quint64 FADE_MS = 60000;

    explicit PolarView(QWidget* pParent = nullptr);

    /// heading: the platform's true heading (degrees) when the device measured them.
    void AddBearings(const std::vector<values::BearingResult>& results, double heading);
    void SetFilteredSectors(std::vector<PolarGeometry::Sector> sectors);
    /// The platform's current true heading (degrees): the bow marker, the
    /// shaded sectors and, bow up, the top of the picture.
    void SetHeading(double heading);
    void SetBowUp(bool bBowUp);
    bool IsBowUp() const { return m_bBowUp; }
    /// The picture as it is painted now (centre, radius, the true bearing at the top).
    PolarGeometry Geometry() const;
    /// The clock against which ages are measured; schedules a repaint.
    void SetNow(quint64 nowMs);

    const BearingRing& GetBearings() const { return m_bearings; }
    /// The values of the youngest visible bearing within a few pixels of the
    /// point, as shown in the tool tip; empty when there is none.
    QString ToolTipAt(QPoint pos) const override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    /// Fade steps of a dot, from fresh to almost gone.
    static constexpr int FADE_STEPS = 8;

    void PaintBackground();
    void PaintDots(QPainter& painter) const;
    /// The fade step of a bearing of that age, FADE_STEPS when gone.
    static int FadeStep(quint64 ageMs);
    void MakeDots();

    BearingRing m_bearings;
    std::vector<PolarGeometry::Sector> m_lstSectors;
    quint64 m_nNowMs = 0;
    double m_fHeading = 0.0;
    bool m_bBowUp = false;
    QPixmap m_background;
    /// One pre-painted dot per band and fade step.
    std::array<std::array<QPixmap, FADE_STEPS>, PolarGeometry::BAND_COUNT> m_aDots;
};
