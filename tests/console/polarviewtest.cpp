#include "tools/kvtconsole/bearingring.h"
#include "tools/kvtconsole/polarview.h"
#include "station/polargeometry.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

const quint64 NOW = 1'700'000'000'000;

values::BearingResult Bearing(double frequency, quint16 azimuth, quint64 time)
{
    return values::BearingResult(values::Bearing{frequency, -1234, azimuth, 25, 38}, time);
}

TEST(BearingRingTest, KeepsTheNewestWithinItsCapacityAndForgetsTheOld)
{
    BearingRing ring(3);
    for (quint64 i = 0; i < 5; ++i)
        ring.Add(Bearing(1e6 * static_cast<double>(i + 1), 100, 1000 * i), 0.0);
    ASSERT_EQ(ring.Size(), 3u);
    EXPECT_EQ(ring.GetAdded(), 5u);
    EXPECT_DOUBLE_EQ(ring.At(0).fFrequency, 3e6);
    EXPECT_DOUBLE_EQ(ring.At(2).fFrequency, 5e6);
    EXPECT_FLOAT_EQ(ring.At(2).fAzimuth, 10.0f);
    EXPECT_FLOAT_EQ(ring.At(2).fLevel, -12.34f);

    ring.ForgetBefore(3500);
    ASSERT_EQ(ring.Size(), 1u);
    EXPECT_EQ(ring.At(0).nTimeMs, 4000u);
    ring.Add(Bearing(9e6, 0, 5000), 0.0);
    EXPECT_EQ(ring.Size(), 2u);
    EXPECT_DOUBLE_EQ(ring.At(1).fFrequency, 9e6);
    ring.ForgetBefore(NOW);
    EXPECT_EQ(ring.Size(), 0u);
    EXPECT_EQ(ring.GetAdded(), 6u);
}

/// The view at a fixed size, painted into an image as the screen would show it.
class PolarViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_view.resize(400, 400);
        m_view.SetNow(NOW);
    }

    QImage Paint()
    {
        QImage image(m_view.size(), QImage::Format_ARGB32);
        m_view.render(&image);
        return image;
    }

    /// Where the view draws a bearing, with the view's geometry.
    QPoint At(double azimuth, double frequency) const
    {
        return PolarGeometry(QPointF(200, 200), 160).PointOf(azimuth, frequency).toPoint();
    }

    PolarView m_view;
};

TEST_F(PolarViewTest, DotsFadeWithAgeAndVanishAfterTheFadeTime)
{
    const QImage empty = Paint();
    m_view.AddBearings({Bearing(433.9e6, 3300, NOW - PolarView::FADE_MS - 1)}, 0.0);
    m_view.AddBearings({Bearing(8.3e6, 2250, NOW - PolarView::FADE_MS / 2), Bearing(156.8e6, 450, NOW)}, 0.0);
    m_view.SetNow(NOW);
    const QImage painted = Paint();

    const QColor vhf = painted.pixelColor(At(45.0, 156.8e6));
    EXPECT_EQ(vhf, PolarGeometry::BandColour(PolarGeometry::BandOf(156.8e6)));
    // Half-way through its life a dot is a lighter shade of its band's colour.
    const QColor hf = painted.pixelColor(At(225.0, 8.3e6));
    const QColor hfFull = PolarGeometry::BandColour(0);
    EXPECT_NE(hf, hfFull);
    EXPECT_NE(hf, empty.pixelColor(At(225.0, 8.3e6)));
    EXPECT_GT(hf.blue(), hf.red());
    // Too old: not drawn, and forgotten.
    EXPECT_EQ(painted.pixelColor(At(330.0, 433.9e6)), empty.pixelColor(At(330.0, 433.9e6)));
    EXPECT_EQ(m_view.GetBearings().Size(), 2u);

    m_view.SetNow(NOW + PolarView::FADE_MS);
    EXPECT_EQ(Paint(), empty);
    EXPECT_EQ(m_view.GetBearings().GetAdded(), 3u);
}

TEST_F(PolarViewTest, ToolTipNamesTheYoungestVisibleBearingUnderThePointer)
{
    m_view.AddBearings({Bearing(121.5e6, 400, NOW - 2000), Bearing(121.5e6, 400, NOW - 1000)}, 0.0);
    const QString tip = m_view.ToolTipAt(At(40.0, 121.5e6) + QPoint(2, -2));
    EXPECT_TRUE(tip.startsWith("121.500 MHz (VHF)")) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QString::fromUtf8("Bearing 40.0° true, 40.0° from the bow at heading 0.0°")))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(QString::fromUtf8("Elevation 2.5°, quality 38, level -12.3"))) << tip.toStdString();
    const QString time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(NOW - 1000), Qt::UTC)
                             .toString("hh:mm:ss.zzz");
    EXPECT_TRUE(tip.contains(time)) << tip.toStdString();

    // Hovering shows that text as the tool tip.
    m_view.show();
    const QPoint hover = At(40.0, 121.5e6);
    QHelpEvent help(QEvent::ToolTip, hover, m_view.mapToGlobal(hover));
    QCoreApplication::sendEvent(&m_view, &help);
    EXPECT_EQ(QToolTip::text(), m_view.ToolTipAt(hover));
    QToolTip::hideText();

    EXPECT_TRUE(m_view.ToolTipAt(At(40.0, 121.5e6) + QPoint(12, 0)).isEmpty());
    m_view.SetNow(NOW + PolarView::FADE_MS);
    EXPECT_TRUE(m_view.ToolTipAt(At(40.0, 121.5e6)).isEmpty());
}

// A receiver heading south measures 175.1° from the bow: the bearing is 355.1°
// true, and that is where the north-up display draws it; bow up turns the
// whole picture so that the bow is at the top and the dot at 175.1°.
TEST_F(PolarViewTest, DrawsTrueBearingsNorthUpAndRelativeOnesBowUp)
{
    const double heading = 180.0;
    m_view.SetHeading(heading);
    m_view.AddBearings({Bearing(156.8e6, 1751, NOW)}, heading);
    EXPECT_FLOAT_EQ(m_view.GetBearings().At(0).fBearing, 355.1f);
    EXPECT_FLOAT_EQ(m_view.GetBearings().At(0).fAzimuth, 175.1f);
    EXPECT_NEAR(m_view.Geometry().ScreenAngleOf(m_view.GetBearings().At(0).fBearing), 355.1, 1e-4);
    const QColor vhf = PolarGeometry::BandColour(PolarGeometry::BandOf(156.8e6));
    QImage painted = Paint();
    EXPECT_EQ(painted.pixelColor(At(355.1, 156.8e6)), vhf);
    EXPECT_NE(painted.pixelColor(At(175.1, 156.8e6)), vhf);
    EXPECT_TRUE(m_view.ToolTipAt(At(355.1, 156.8e6)).contains(QString::fromUtf8("Bearing 355.1° true, 175.1° from the bow")));

    m_view.SetBowUp(true);
    EXPECT_NEAR(m_view.Geometry().ScreenAngleOf(m_view.GetBearings().At(0).fBearing), 175.1, 1e-4);
    painted = Paint();
    EXPECT_EQ(painted.pixelColor(At(175.1, 156.8e6)), vhf);
    EXPECT_NE(painted.pixelColor(At(355.1, 156.8e6)), vhf);
}

TEST(PolarGeometryTest, TurnsTheSectorsAndTheCompassWithTheHeading)
{
    EXPECT_DOUBLE_EQ(PolarGeometry::TrueBearing(175.1, 180.0), 355.1);
    EXPECT_NEAR(PolarGeometry::TrueBearing(350.0, 20.0), 10.0, 1e-9);
    EXPECT_NEAR(PolarGeometry::TrueBearing(-10.0, 0.0), 350.0, 1e-9);
    // Bow up at heading 90: north is drawn to the left, east at the top.
    const PolarGeometry bowUp(QPointF(100, 100), 50, 90.0);
    EXPECT_NEAR(bowUp.ScreenAngleOf(0.0), 270.0, 1e-9);
    EXPECT_NEAR(bowUp.ScreenAngleOf(90.0), 0.0, 1e-9);
    const QPointF north = bowUp.PointOf(0.0, 1e10);
    EXPECT_NEAR(north.x(), 50.0, 1e-9);
    EXPECT_NEAR(north.y(), 100.0, 1e-9);

    // A sector the device leaves uncovered at 0..30° from the bow lies at 180..210° true when heading south.
    QImage image(200, 200, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PolarGeometry(QPointF(100, 100), 80).PaintGrid(painter, {{0.0, 30.0}}, 180.0);
    painter.end();
    const QPointF south = PolarGeometry(QPointF(100, 100), 80).PointOf(195.0, 3e8);
    const QPointF bow = PolarGeometry(QPointF(100, 100), 80).PointOf(15.0, 3e8);
    EXPECT_NE(image.pixelColor(south.toPoint()), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(bow.toPoint()), QColor(Qt::white));
}

TEST_F(PolarViewTest, MemoryStaysBoundedAtAnyRate)
{
    for (quint64 i = 0; i < 3 * PolarView::CAPACITY; ++i)
        m_view.AddBearings({Bearing(1e8, static_cast<quint16>(i % 3600), NOW)}, 0.0);
    EXPECT_EQ(m_view.GetBearings().Size(), PolarView::CAPACITY);
    EXPECT_EQ(m_view.GetBearings().GetAdded(), 3 * PolarView::CAPACITY);
}

}
