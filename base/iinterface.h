#pragma once

#include "kvthost_export.h"

/// One connection made by CInterfaceCreator. Its events reach the
/// IInterfaceCallback given at creation.
///
/// Single-threaded: use it on the thread that created it.
/// Virtual slots: destructor, IsOpen, Write.
class KVTHOST_EXPORT IInterface
{
public:
    /// Closes and releases the connection; no notification follows, not even
    /// one that was already on its way.
    virtual ~IInterface() = default;
    /// True while the connection can take data: after OnOpen and before the
    /// failure that OnClose/OnError report.
    virtual bool IsOpen() const = 0;
    /// Queues `length` bytes for the device; they leave from the event loop.
    /// True when the whole block was accepted. False, and nothing queued, when
    /// the connection is not open, the block is malformed (negative length,
    /// null data with a positive length) or would raise the bytes still waiting
    /// for the device above the limit given at creation.
    virtual bool Write(const char* data, int length) = 0;
};
