#pragma once

#include "base/idllinstance.h"
#include "kvtcommon_export.h"

#include <QString>

class QToolBar;

/// The interface of the ZOD client module ("ZodClient.dll"), which exchanges the
/// station's tuning parameters with a central ZOD server. ZodManager obtains an
/// instance through CfgCenter::CreateDllInstanceByFileName, configures it, calls
/// Start() and releases it with CfgCenter::DestroyDllInstanceByPointer.
///
/// Separately built modules depend on the order of the virtual operations:
/// only append. Value paths are absolute value-tree paths. Calls come from the
/// thread that owns the value tree; no operation may block.
class KVTCOMMON_EXPORT IZodClientDll : public IDllInstance
{
public:
    ~IZodClientDll() override;

    /// Publishes (sender) or follows (receiver) the parameter `tag` held at
    /// `valuePath`; `adaptationRule` may be empty.
    virtual void AddParameter(const QString& tag, const QString& valuePath, const QString& adaptationRule) = 0;
    /// Sender: where the handover frequency is held.
    virtual void SetHandoverFrequencyPath(const QString& valuePath) = 0;
    /// Sender: where the handover pool frequency is held.
    virtual void SetHandoverPoolFrequencyPath(const QString& valuePath) = 0;
    /// The operation-mode parameter `tag` held at `valuePath`.
    virtual void SetModeParameter(const QString& valuePath, const QString& tag) = 0;
    /// Sender: the host's tool bar for the client's controls (may be null); the
    /// tool bar must outlive the instance or be deleted before it.
    virtual void SetToolBar(QToolBar* pToolBar, bool bAtFront) = 0;
    /// False: sender; true: receiver.
    virtual void SetReceiverRole(bool bReceiver) = 0;
    virtual void SetClientType(const QString& type) = 0;
    /// Receiver: the station's frequency range, "<minimum Hz>,<maximum Hz>".
    virtual void SetFrequencyRange(const QString& range) = 0;
    /// Receiver: the address of the DF device.
    virtual void SetDeviceAddress(const QString& address) = 0;
    /// The central ZOD server.
    virtual void SetCentral(const QString& address, int port) = 0;
    virtual void SetClientName(const QString& name) = 0;
    /// Begins operation with the configuration given so far; later calls
    /// change the running configuration.
    virtual void Start() = 0;
    virtual void SetAutoCoupleTargets(const QString& targets) = 0;
};
