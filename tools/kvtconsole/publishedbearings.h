#pragma once

#include "base/iobserver.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <QString>

#include <functional>
#include <vector>

namespace values
{
template <class T>
class Value;
template <class T>
class ValueList;
} // namespace values

/// Follows the bearings that the station publishes below the device node, as
/// a display of the host application does: every fixed-frequency result as it
/// is set on "Res/DfR/Azimuth", every scan block once, complete, from
/// "Res/DfR/AzimuthList". The azimuth that announces a scan block (its last
/// bearing) is not passed on a second time, so each accepted bearing reaches
/// the listener exactly once, in publishing order.
///
/// A value that leaves the tree is forgotten. Single-threaded, on the tree's thread.
class PublishedBearings : public IObserver
{
public:
    using Listener = std::function<void(const std::vector<values::BearingResult>&)>;

    PublishedBearings(const QString& devicePath, Listener listener);
    ~PublishedBearings() override;
    PublishedBearings(const PublishedBearings&) = delete;
    PublishedBearings& operator=(const PublishedBearings&) = delete;

    void Update(Observable* pSender, TChangeCode code) override;

private:
    values::Value<values::BearingResult>* m_pAzimuth;
    values::ValueList<values::BearingResult>* m_pAzimuthList;
    Listener m_listener;
    bool m_bAnnouncementDue = false;
    values::BearingResult m_lastOfBlock;
};
