#pragma once

#include "base/iinterface.h"

#include <QObject>
#include <QSerialPort>

class IInterfaceCallback;
struct SerialAddress;

/// The IInterface behind CInterfaceCreator: one QSerialPort.
///
/// Every notification is posted to this object's event queue rather than
/// called from inside QSerialPort, so that a receiver may destroy the
/// connection in any notification (pending posts die with the object).
///
/// OnWritten counts the bytes that left QSerialPort's buffer for the device.
/// QSerialPort reports a write only once the device takes more, so the last
/// write to a device that stopped taking data would never be reported: each
/// report is worked out afresh from the bytes accepted and still buffered.
class SerialConnection : public QObject, public IInterface
{
    Q_OBJECT

public:
    SerialConnection(const SerialAddress& address, IInterfaceCallback* pCallback, qint64 maxPendingBytes);
    ~SerialConnection() override;

    bool IsOpen() const override;
    bool Write(const char* data, int length) override;

private:
    void Open();
    void OnPortError(QSerialPort::SerialPortError error);
    void OnReadyRead();
    void OnBytesWritten();
    template <class F>
    void Post(F function);

    QSerialPort m_port;
    IInterfaceCallback* m_pCallback;
    qint64 m_nMaxPendingBytes;
    /// Set by the first error; the connection then only winds down.
    bool m_bFailed = false;
    /// Bytes taken by Write, and of those the ones reported through OnWritten.
    qint64 m_nAccepted = 0;
    qint64 m_nReported = 0;
};
