#pragma once

#include "base/iinterfacecallback.h"

#include <QObject>
#include <QString>

#include <memory>

class IInterface;
class QTimer;

/// The serial connection of the DF data output: asks the host's interface
/// creator for a connection to an address and keeps retrying on a timer until
/// one stands. Internal to the library.
///
/// States: connecting (no connection, timer running), created (connection
/// made, not yet reported open; timer ticks succeed at once), open (timer
/// stopped); OnError goes back to connecting. OnClose changes nothing.
///
/// Single-threaded: the host delivers the notifications from the event loop of
/// the owner's thread, so no write can run during OnError.
class SerialInterface : public QObject, public IInterfaceCallback
{
    Q_OBJECT

public:
    static constexpr unsigned short RECONNECT_INTERVAL_MS = 5000;

    /// Makes a first connection attempt at once; the address is handed to
    /// the host unchanged.
    explicit SerialInterface(const QString& address, unsigned short reconnectIntervalMs = RECONNECT_INTERVAL_MS);
    ~SerialInterface() override;

    /// Sends one block. False without an open connection, or when the host
    /// refuses the block (traced; the connection stays).
    bool WriteToInterface(const char* data, int length);

    void OnOpen(IInterface* pInterface) override;
    void OnClose(IInterface* pInterface) override;
    void OnRead(IInterface* pInterface, const char* data, int length) override;
    void OnError(IInterface* pInterface, int code, const QString& text) override;
    void OnWritten(IInterface* pInterface, qint64 bytes) override;

public slots:
    void SlotOnTimer();

private:
    /// A connection attempt; a failed one leaves the reconnect timer running.
    void Connect();
    void StartReconnectTimer();

    std::unique_ptr<IInterface> m_pInterface;
    QTimer* m_pReconnectTimer;
    QString m_strAddress;
    unsigned short m_nReconnectIntervalMs;
};
