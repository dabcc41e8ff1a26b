#pragma once

#include "kvthost_export.h"

#include <QString>

#include <memory>

class IInterface;
class IInterfaceCallback;

/// Makes serial connections from address strings (syntax: SerialAddress).
class KVTHOST_EXPORT CInterfaceCreator
{
public:
    /// A new connection to the device at `address` that reports to
    /// `pCallback` (borrowed; it must outlive the connection). The device is
    /// opened asynchronously from the event loop: OnOpen tells of success,
    /// OnError of failure (a missing device as well).
    ///
    /// `maxPendingBytes` bounds the written bytes still waiting for the
    /// device, so that a stalled line (a receiver holding the flow back) makes
    /// writes fail instead of growing memory. `bReserved` has no meaning yet;
    /// pass false.
    ///
    /// Null for an address that does not parse or a null callback.
    std::unique_ptr<IInterface> CreateInterface(const QString& address, IInterfaceCallback* pCallback,
                                                unsigned long long maxPendingBytes, bool bReserved);
};
