#pragma once

#include "tools/kvtconsole/mapprojection.h"
#include "tools/kvtconsole/tippedwidget.h"

#include <QWidget>

class NetworkModel;

/// The map of the DF network (NetworkModel): a latitude/longitude grid and a
/// scale bar (no map tiles, nothing fetched), every station at its position
/// with its name and role (filled green while online, grey when offline, the
/// bow as a tick at its heading), its latest line of bearing fading over
/// LINE_FADE_MS of the network's time, the fixes with their 95 % ellipses
/// (orange when flagged), and for HANDOVER_MARK_MS of the network's time
/// after a sender hands a frequency over a ring about the sender with a line
/// to each receiver seen tuned to it. Drawn in a projection centred on the data, so the
/// picture holds across 180° longitude (MapProjection).
///
/// Dragging pans, the wheel zooms about the pointer, a double click frames
/// everything again; until the user pans or zooms the view keeps framing
/// the network as it grows. Every object has a tool tip. Texts pass through
/// the translation context "MapView". Single-threaded.
class MapView : public TippedWidget
{
    Q_OBJECT
public:
    static constexpr qint64 LINE_FADE_MS = 30000;
    static constexpr qint64 HANDOVER_MARK_MS = 10000;
    static const QColor ONLINE_COLOUR;
    static const QColor OFFLINE_COLOUR;
    static const QColor FIX_COLOUR;
    static const QColor FLAGGED_FIX_COLOUR;
    static const QColor HANDOVER_COLOUR;

    explicit MapView(const NetworkModel& model, QWidget* pParent = nullptr);

    MapProjection& GetProjection() { return m_projection; }
    /// Frames every station and fix (what a double click does).
    void Frame();
    /// The tool tip of the object under the point; empty when there is none.
    QString ToolTipAt(QPoint pos) const override;
    /// Repaints when the model has news; frames the network while the user has not moved the map.
    void Refresh();
    /// A ZOD role for people: "sender", "receiver", or "stand-alone" for none, translated.
    static QString RoleText(const QString& role);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;

private:
    void PaintGrid(QPainter& painter) const;
    void PaintScaleBar(QPainter& painter) const;
    void PaintLines(QPainter& painter) const;
    void PaintFixes(QPainter& painter) const;
    void PaintHandovers(QPainter& painter) const;
    void PaintStations(QPainter& painter) const;
    /// The line of bearing from the station to the edge of the view, as screen points.
    QPolygonF LineOfBearing(double latitude, double longitude, double bearing) const;

    const NetworkModel& m_model;
    MapProjection m_projection;
    bool m_bUserMoved = false;
    quint64 m_nShownGeneration = 0;
    std::size_t m_nFramedObjects = 0;
    QPoint m_lastDrag;
};
