#pragma once

#include <QObject>
#include <QString>

#include <map>
#include <vector>

class AccountedOutput;

/// Whether each output of the station is failing now: from its failure until
/// delivery resumes (an account keeps its losses for ever, so the losses
/// alone cannot say that a broker is back). Also gives the outputs' names
/// for people in the current language. The outputs must outlive the watch.
/// Single-threaded.
class OutputWatch : public QObject
{
    Q_OBJECT
public:
    explicit OutputWatch(const std::vector<AccountedOutput*>& outputs, QObject* pParent = nullptr);

    bool IsFailing(const AccountedOutput& output) const;
    /// The output's name for people ("file", "serial", "broker", "bearings" translated).
    static QString DisplayName(const AccountedOutput& output);
    static QString DisplayName(const QString& name);

signals:
    void Failed(const AccountedOutput& output, const QString& reason);
    void Resumed(const AccountedOutput& output);

private:
    std::map<const AccountedOutput*, bool> m_mapFailing;
};
