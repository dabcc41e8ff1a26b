#pragma once

#include <QWidget>

class AlarmLog;
class QHBoxLayout;
class QPushButton;

/// The strip of standing alarms above the window's tabs: one red button per
/// unacknowledged alarm, newest first (at most SHOWN, then a count of the
/// others); a click on a button acknowledges its alarm. Hidden while no
/// alarm stands. Texts pass through the translation context "AlarmStrip".
class AlarmStrip : public QWidget
{
    Q_OBJECT
public:
    static constexpr int SHOWN = 3;
    static const QColor ALARM_COLOUR;

    explicit AlarmStrip(AlarmLog& log, QWidget* pParent = nullptr);

    /// The buttons of the standing alarms, newest first.
    QList<QPushButton*> GetButtons() const { return m_lstButtons; }

private:
    void Rebuild();

    AlarmLog& m_log;
    QHBoxLayout* m_pLayout = nullptr;
    QList<QPushButton*> m_lstButtons;
};
