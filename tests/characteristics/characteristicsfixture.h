#pragma once

#include "base/iobserver.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
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
    static inline const QString DEVICE_PATH = QStringLiteral("/KVTServer");

    CharacteristicsFixture()
    {
        values::Tree::Instance()->Clear();
        StdDeviceDefinition::StdDeviceTree::Device(DEVICE_PATH);
        SetType("KVTQ1");
        SetDeviceText(StdDeviceDefinition::g_vdDevMaxChannelCount, QStringLiteral("8"));
        SetOptions("");
    }
    ~CharacteristicsFixture() override
    {
        m_pCharacteristics.reset();
        values::Tree::Instance()->Clear();
        KVTOptions::Instance()->Finalise();
    }

    /// Appends an enabled antenna whose nominal and used ranges are
    /// [minRange, maxRange] to the setup that PublishAntennas() writes.
    AntennaData* AddAntenna(const QString& name, const QString& converter, double minRange, double maxRange)
    {
        auto* pAntenna = new AntennaData;
        pAntenna->m_strName = name;
        pAntenna->m_strConverterTypeName = converter;
        pAntenna->m_fMinFreq = pAntenna->m_fMinRange = minRange;
        pAntenna->m_fMaxFreq = pAntenna->m_fMaxRange = maxRange;
        m_antennas.AddAntenna(pAntenna);
        return pAntenna;
    }
    /// Installs exactly these option codes (";"-separated, empty for none).
    static void SetOptions(const QString& codes)
    {
        KVTOptions::Instance()->ClearAllOptions();
        ASSERT_TRUE(codes.isEmpty() || KVTOptions::Instance()->AddOptionsFromString(codes)) << codes.toStdString();
    }
    /// Sets a device value below the device node from its text form.
    static void SetDeviceText(const values::ValueDescriptor& descriptor, const QString& text)
    {
        values::ValueBase* pValue = values::Tree::Instance()->FindValue(DEVICE_PATH + descriptor.PathName());
        ASSERT_TRUE(pValue != nullptr && pValue->SetStringValue(text)) << descriptor.PathName().toStdString();
    }
    static bool RemoveDeviceValue(const values::ValueDescriptor& descriptor)
    {
        return values::Tree::Instance()->RemoveValue(DEVICE_PATH + descriptor.PathName());
    }
    static void SetType(const char* type) { SetDeviceText(StdDeviceDefinition::g_vdDevType, type); }
    static EOperationMode Mode(int mode) { return static_cast<EOperationMode>(mode); }
    /// Writes the antenna setup into the device node, notifying nobody.
    void PublishAntennas() { m_antennas.WriteAntennasToValueTree(DEVICE_PATH); }
    /// PublishAntennas(), then binds the characteristics to the device node.
    void Bind(bool autoUpdate = true)
    {
        PublishAntennas();
        ASSERT_TRUE(m_characteristics.SetBase_ValuePath(DEVICE_PATH, autoUpdate));
    }
    AntennaDataList m_antennas{DEVICE_PATH, QString()};
    NotificationRecorder m_recorder;  // outlives the characteristics it observes
    std::unique_ptr<KVTCharacteristics> m_pCharacteristics = std::make_unique<KVTCharacteristics>();
    KVTCharacteristics& m_characteristics = *m_pCharacteristics;
};
