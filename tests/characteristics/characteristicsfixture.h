#pragma once

#include "base/iobserver.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuedescriptor.h"

#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

/// Records the change codes an observable hands to its observers.
class NotificationRecorder : public IObserver
{
public:
    void Update(Observable*, TChangeCode code) override { m_lstCodes.push_back(code); }
    std::vector<TChangeCode> m_lstCodes;
};

/// A simulated device node in the in-process value tree, built from the
/// device-value catalogue: device type "KVTQ1", 8 channels, no options, and an
/// antenna setup that tests fill with AddAntenna before they Bind().
/// Everything is torn down again, so tests do not see each other's tree.
class CharacteristicsFixture : public ::testing::Test
{
protected:
    static const QString DEVICE_PATH;

    CharacteristicsFixture();
    ~CharacteristicsFixture() override;

    /// Appends an enabled antenna whose nominal and used ranges are
    /// [minRange, maxRange] to the setup that PublishAntennas() writes.
    AntennaData* AddAntenna(const QString& name, const QString& converter, double minRange, double maxRange);
    /// Installs exactly these option codes (";"-separated, empty for none).
    static void SetOptions(const QString& codes);
    /// Writes the antenna setup into the device node, notifying nobody.
    void PublishAntennas();
    /// PublishAntennas(), then binds the characteristics to the device node.
    void Bind(bool autoUpdate = true);

    /// The device value of a descriptor below the device node, or null when
    /// it is missing or not a T.
    template <class T>
    static T* DeviceValue(const values::ValueDescriptor& descriptor)
    {
        return values::Tree::Instance()->Find<T>(DEVICE_PATH + descriptor.PathName());
    }

    AntennaDataList m_antennas;
    std::unique_ptr<KVTCharacteristics> m_pCharacteristics = std::make_unique<KVTCharacteristics>();
    KVTCharacteristics& m_characteristics = *m_pCharacteristics;
};
