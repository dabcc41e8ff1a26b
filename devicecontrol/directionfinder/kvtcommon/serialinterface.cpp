#include "devicecontrol/directionfinder/kvtcommon/serialinterface.h"

#include "base/cinterfacecreator.h"
#include "base/errorhandler.h"
#include "base/iinterface.h"
#include "base/trace.h"

#include <QTimer>

namespace
{

// Bytes that may wait for a slow or stalled line before writes are refused:
// many sentences, yet a bounded amount of memory.
const unsigned long long MAX_PENDING_BYTES = 10000;

void Trace(const char* text, quint16 line)
{
    if (ErrorHandler::Instance().TracesEnabled())
        _Q_Trace(QString::fromLatin1(text), __FILE__, line);
}

} // namespace

SerialInterface::SerialInterface(const QString& address, unsigned short reconnectIntervalMs)
    : m_pReconnectTimer(new QTimer(this))
    , m_strAddress(address)
    , m_nReconnectIntervalMs(reconnectIntervalMs)
{
    connect(m_pReconnectTimer, &QTimer::timeout, this, &SerialInterface::SlotOnTimer);
    Connect();
}

// The connection goes first: it reports nothing once destroyed. The timer is a child.
SerialInterface::~SerialInterface()
{
    m_pInterface.reset();
    m_pReconnectTimer->stop();
}

bool SerialInterface::WriteToInterface(const char* data, int length)
{
    if (!m_pInterface || !m_pInterface->IsOpen())
        return false;
    if (m_pInterface->Write(data, length))
        return true;
    Trace("RS232Output:  SerialInterface::WriteToInterface: FAILED\n", __LINE__);
    return false;
}

void SerialInterface::OnOpen(IInterface* /*pInterface*/)
{
    Trace("RS232Output: SerialInterface::OnOpen\n", __LINE__);
    m_pReconnectTimer->stop();
}

void SerialInterface::OnClose(IInterface* /*pInterface*/)
{
    Trace("RS232Output: SerialInterface::OnClose\n", __LINE__);
}

void SerialInterface::OnRead(IInterface* /*pInterface*/, const char* /*data*/, int /*length*/)
{
    Trace("RS232Output: SerialInterface::OnRead\n", __LINE__);
}

void SerialInterface::OnError(IInterface* /*pInterface*/, int /*code*/, const QString& /*text*/)
{
    Trace("RS232Output: SerialInterface::OnError\n", __LINE__);
    m_pInterface.reset();
    StartReconnectTimer();
}

void SerialInterface::OnWritten(IInterface* /*pInterface*/, qint64 /*bytes*/)
{
}

void SerialInterface::SlotOnTimer()
{
    Connect();
}

void SerialInterface::Connect()
{
    if (m_pInterface)
        return;
    m_pInterface = CInterfaceCreator().CreateInterface(m_strAddress, this, MAX_PENDING_BYTES, false);
    if (!m_pInterface)
        StartReconnectTimer();
}

void SerialInterface::StartReconnectTimer()
{
    if (!m_pReconnectTimer->isActive())
        m_pReconnectTimer->start(m_nReconnectIntervalMs);
}
