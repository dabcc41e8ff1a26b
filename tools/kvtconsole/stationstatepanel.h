#pragma once

#include <QWidget>

class AccountedOutput;
class OutputWatch;
class QLabel;
class StationRun;

/// Who the station is and how it stands, in one line above the tabs: its
/// name, its role in the network, what it is tuned to (or that a receiver
/// waits for a handover), the broker's state (green while connected, red
/// while lost, green again after a reconnect) and each output's state. The
/// same texts name the window. Texts pass through the translation context
/// "StationStatePanel".
class StationStatePanel : public QWidget
{
    Q_OBJECT
public:
    static const QColor GOOD_COLOUR;
    static const QColor BAD_COLOUR;

    /// station and watch must outlive the panel.
    StationStatePanel(StationRun& station, const OutputWatch& watch, QWidget* pParent = nullptr);

    void Refresh();

    QString GetName() const;
    /// "sender", "receiver" or "stand-alone", translated.
    QString GetRole() const;
    /// "tuned to 121.500 MHz", "waiting for a handover" or "not tuned", translated.
    QString GetTuning() const;
    QString GetBrokerState() const;
    bool IsBrokerLost() const;
    /// The window title: "kvtconsole — <name> (<role>)".
    QString GetTitle() const;

    QLabel& GetBrokerLabel() { return *m_pBroker; }
    QLabel& GetTuningLabel() { return *m_pTuning; }
    QLabel& GetOutputsLabel() { return *m_pOutputs; }

private:
    /// "sender", "receiver" or empty, untranslated.
    QString RoleKey() const;
    /// The broker output, null when the station has no broker.
    const AccountedOutput* BrokerOutput() const;
    static void Colour(QLabel& label, const QColor& colour);

    StationRun& m_station;
    const OutputWatch& m_watch;
    QLabel* m_pIdentity = nullptr;
    QLabel* m_pTuning = nullptr;
    QLabel* m_pBroker = nullptr;
    QLabel* m_pOutputs = nullptr;
};
