#pragma once

#include "base/iobserver.h"
#include "kvtcommon_export.h"

#include <QString>

class IZodClientDll;
class QToolBar;

namespace values
{
template <class T>
class ValueNumeric;
}

/// Loads the ZOD client module ("ZodClient.dll") in two independent roles and
/// configures it from the application configuration (view 2): a sender, which
/// publishes the station's tuning and audio parameters and places its controls
/// in a tool bar of the host, and a receiver, which follows the tuning
/// parameters and is told the station's frequency range
/// ("/KVTCONTROL/SYSMINFREQ" to "/KVTCONTROL/SYSMAXFREQ") whenever it changes.
///
/// Configuration keys: "ZodCentralAddress" (default "127.0.0.1"),
/// "ZodCentralPort" (4500), "ZodClientName" (empty: the caller's default name,
/// and "KVT" when that is empty too), "AutoCoupleTargets" (empty). Only the
/// caller's key of the ...IfConfigured operations is written.
///
/// A missing module, or one that does not provide IZodClientDll, leaves the
/// role without an instance; nothing is reported.
///
/// Not copyable: the instances are released by their one manager.
/// Single-threaded: use it on the value tree's thread.
class KVTCOMMON_EXPORT ZodManager : public IObserver
{
public:
    ZodManager();
    /// Destroys the sender, then the receiver.
    ~ZodManager() override;

    ZodManager(const ZodManager&) = delete;
    ZodManager& operator=(const ZodManager&) = delete;

    /// Replaces the sender by a new, configured and started one.
    void CreateZodSender(const QString& defaultName, QToolBar* pToolBar);
    /// Replaces the receiver by a new, configured and started one.
    void CreateZodReceiver(const QString& defaultName);
    /// Creates the sender when the boolean `key` (written with `bDefault` when absent) is true.
    void CreateZodSenderIfConfigured(const QString& defaultName, QToolBar* pToolBar, const QString& key,
                                     bool bDefault);
    /// Creates the receiver when the boolean `key` (written with `bDefault` when absent) is true.
    void CreateZodReceiverIfConfigured(const QString& defaultName, const QString& key, bool bDefault);
    void DestroyZodSender();
    /// Also ends the observation of the frequency-range values.
    void DestroyZodReceiver();

    /// The receiver instance, null while there is none (not created, or the
    /// module is missing); it belongs to the manager.
    IZodClientDll* GetZodReceiver() const { return m_pZodReceiver; }

protected:
    /// Follows the frequency-range values: a change re-sends the range, a value
    /// going away is forgotten.
    void Update(Observable* pSender, TChangeCode code) override;

private:
    void CommonZodInit(IZodClientDll* pZodClientDll, const QString& defaultName);
    /// Not the absent-key test of the other settings readers: the value read is always written
    /// back and the key unlocked, so a locked or differently spelled flag ("1", "yes") comes out
    /// editable and as "true"/"false".
    bool GetOrCreateBooleanCfg(const QString& key, bool bDefault);
    void UpdateZodReceiverRange();

    IZodClientDll* m_pZodSender = nullptr;
    IZodClientDll* m_pZodReceiver = nullptr;
    values::ValueNumeric<double>* m_pSysMinFreq = nullptr;
    values::ValueNumeric<double>* m_pSysMaxFreq = nullptr;
};
