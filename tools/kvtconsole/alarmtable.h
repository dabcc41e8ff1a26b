#pragma once

#include <QTableWidget>

class AlarmLog;

/// The log of every alarm of the run, newest on top: time (UTC), alarm,
/// state; a click on a standing alarm's row acknowledges it. Texts pass
/// through the translation context "AlarmTable".
class AlarmTable : public QTableWidget
{
    Q_OBJECT
public:
    explicit AlarmTable(AlarmLog& log, QWidget* pParent = nullptr);

private:
    void Rebuild();

    AlarmLog& m_log;
};
