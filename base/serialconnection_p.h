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
    void OnBytesWritten(qint64 bytes);
    template <class F>
    void Post(F function);

    QSerialPort m_port;
    IInterfaceCallback* m_pCallback;
    qint64 m_nMaxPendingBytes;
    /// Set by the first error; the connection then only winds down.
    bool m_bFailed = false;
};
