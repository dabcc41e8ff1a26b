#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QMainWindow;

/// Where the console's window opens: as it was left the last time (size,
/// position, docks and tool bars, kept in PLACEMENT_FILE in the configuration
/// directory), or else SCREEN_SHARE of the screen's available area, centred,
/// never larger than that area. A saved place that no longer fits the
/// screen is shrunk into it.
class WindowPlacement
{
public:
    static const QString PLACEMENT_FILE;
    static constexpr double SCREEN_SHARE = 0.9;

    /// The window's size on a screen whose available area is that.
    static QSize DefaultSize(const QSize& available);

    /// file: the settings file (empty: PLACEMENT_FILE in the configuration directory).
    explicit WindowPlacement(QString file = QString());

    /// Places the window on its screen; false when nothing was saved (the default size is used).
    bool Restore(QMainWindow& window) const;
    /// Keeps the window's place; false when it could not be written.
    bool Save(const QMainWindow& window) const;

private:
    QString m_strFile;
};
