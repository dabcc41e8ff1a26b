#include "base/serialconnection_p.h"

#include "base/iinterfacecallback.h"
#include "base/serialaddress.h"

#include <utility>

namespace
{

QSerialPort::Parity ParityOf(SerialAddress::EParity parity)
{
    switch (parity)
    {
    case SerialAddress::PARITY_EVEN:
        return QSerialPort::EvenParity;
    case SerialAddress::PARITY_ODD:
        return QSerialPort::OddParity;
    case SerialAddress::PARITY_MARK:
        return QSerialPort::MarkParity;
    case SerialAddress::PARITY_SPACE:
        return QSerialPort::SpaceParity;
    case SerialAddress::PARITY_NONE:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits StopBitsOf(SerialAddress::EStopBits stopBits)
{
    switch (stopBits)
    {
    case SerialAddress::STOP_ONE_AND_HALF:
        return QSerialPort::OneAndHalfStop;
    case SerialAddress::STOP_TWO:
        return QSerialPort::TwoStop;
    case SerialAddress::STOP_ONE:
        break;
    }
    return QSerialPort::OneStop;
}

} // namespace

template <class F>
void SerialConnection::Post(F function)
{
    QMetaObject::invokeMethod(this, std::move(function), Qt::QueuedConnection);
}

SerialConnection::SerialConnection(const SerialAddress& address, IInterfaceCallback* pCallback,
                                   qint64 maxPendingBytes)
    : m_pCallback(pCallback)
    , m_nMaxPendingBytes(maxPendingBytes)
{
    m_port.setPortName(address.m_strDevice);
    m_port.setBaudRate(address.m_nBaudRate);
    m_port.setParity(ParityOf(address.m_eParity));
    m_port.setDataBits(static_cast<QSerialPort::DataBits>(address.m_nDataBits));
    m_port.setStopBits(StopBitsOf(address.m_eStopBits));
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialConnection::OnPortError);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialConnection::OnReadyRead);
    connect(&m_port, &QSerialPort::bytesWritten, this, &SerialConnection::OnBytesWritten);
    Post([this]() { Open(); });
}

// Closing the port must not call back into a half-destroyed object.
SerialConnection::~SerialConnection()
{
    disconnect(&m_port, nullptr, this, nullptr);
}

bool SerialConnection::IsOpen() const
{
    return m_port.isOpen() && !m_bFailed;
}

bool SerialConnection::Write(const char* data, int length)
{
    if (!IsOpen() || length < 0 || (data == nullptr && length > 0)
        || m_port.bytesToWrite() + length > m_nMaxPendingBytes)
        return false;
    const qint64 taken = m_port.write(data, length);
    if (taken > 0)
        m_nAccepted += taken;
    return taken == length;
}

void SerialConnection::Open()
{
    if (!m_port.open(QIODevice::ReadWrite))
    {
        // QSerialPort normally reports the reason itself; this covers a silent failure.
        OnPortError(QSerialPort::OpenError);
        return;
    }
    if (!m_bFailed)
        m_pCallback->OnOpen(this);
}

void SerialConnection::OnPortError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || m_bFailed)
        return;
    m_bFailed = true;
    const QString text = m_port.errorString();
    // Closed from the queue: QSerialPort may still be inside the call that failed.
    // Two posts, so that a receiver deleting this object in OnClose drops OnError.
    Post([this]() {
        const bool bWasOpen = m_port.isOpen();
        m_port.close();
        if (bWasOpen)
            m_pCallback->OnClose(this);
    });
    Post([this, error, text]() { m_pCallback->OnError(this, static_cast<int>(error), text); });
}

void SerialConnection::OnReadyRead()
{
    const QByteArray data = m_port.readAll();
    if (!data.isEmpty())
        Post([this, data]() { m_pCallback->OnRead(this, data.constData(), data.size()); });
}

void SerialConnection::OnBytesWritten()
{
    // Posted: by the time it runs QSerialPort has started its next write.
    Post([this]() {
        const qint64 handed = m_nAccepted - m_port.bytesToWrite();
        if (handed <= m_nReported)
            return;
        const qint64 bytes = handed - m_nReported;
        m_nReported = handed;
        m_pCallback->OnWritten(this, bytes);
    });
}
