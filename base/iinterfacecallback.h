#pragma once

#include "kvthost_export.h"

#include <QString>
#include <QtGlobal>

class IInterface;

/// Receives the events of an IInterface.
///
/// Notifications arrive from the event loop of the thread that created the
/// interface, never from inside CreateInterface or Write. A receiver may
/// destroy the interface inside any notification; the notifications still
/// pending for it are then dropped.
///
/// Order: OnOpen once when the device is open, then OnRead and OnWritten as
/// data moves. A failure is reported once: OnClose (only when the device had
/// been open) and then OnError; nothing follows OnError.
/// Virtual slots: destructor, OnOpen, OnClose, OnRead, OnError, OnWritten.
class KVTHOST_EXPORT IInterfaceCallback
{
public:
    virtual ~IInterfaceCallback() = default;
    virtual void OnOpen(IInterface* pInterface) = 0;
    /// The device stopped taking data (it vanished or failed).
    virtual void OnClose(IInterface* pInterface) = 0;
    /// Bytes received; `data` is valid during the call only.
    virtual void OnRead(IInterface* pInterface, const char* data, int length) = 0;
    /// The device could not be opened or failed while open. `code` is the
    /// QSerialPort::SerialPortError number, `text` a readable reason.
    virtual void OnError(IInterface* pInterface, int code, const QString& text) = 0;
    /// `bytes` of the written data have been handed to the device.
    virtual void OnWritten(IInterface* pInterface, qint64 bytes) = 0;
};
