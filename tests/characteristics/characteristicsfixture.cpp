#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueselection.h"

const QString CharacteristicsFixture::DEVICE_PATH = QStringLiteral("/KVTServer");

CharacteristicsFixture::CharacteristicsFixture()
    : m_antennas(DEVICE_PATH, QString())
{
    values::Tree::Instance()->Clear();
    StdDeviceDefinition::StdDeviceTree::Device(DEVICE_PATH);
    DeviceValue<values::ValueSelection>(StdDeviceDefinition::g_vdDevType)->SetCurrentText(QStringLiteral("KVTQ1"));
    DeviceValue<values::Value<int>>(StdDeviceDefinition::g_vdDevMaxChannelCount)->SetValue(8);
    SetOptions(QString());
}

CharacteristicsFixture::~CharacteristicsFixture()
{
    m_pCharacteristics.reset();
    values::Tree::Instance()->Clear();
    KVTOptions::Instance()->Finalise();
}

AntennaData* CharacteristicsFixture::AddAntenna(const QString& name, const QString& converter, double minRange,
                                                double maxRange)
{
    auto* pAntenna = new AntennaData;
    pAntenna->m_strName = name;
    pAntenna->m_strConverterTypeName = converter;
    pAntenna->m_fMinFreq = pAntenna->m_fMinRange = minRange;
    pAntenna->m_fMaxFreq = pAntenna->m_fMaxRange = maxRange;
    m_antennas.AddAntenna(pAntenna);
    return pAntenna;
}

void CharacteristicsFixture::SetOptions(const QString& codes)
{
    KVTOptions::Instance()->ClearAllOptions();
    if (!codes.isEmpty()) {
        ASSERT_TRUE(KVTOptions::Instance()->AddOptionsFromString(codes)) << codes.toStdString();
    }
}

void CharacteristicsFixture::PublishAntennas()
{
    m_antennas.WriteAntennasToValueTree(DEVICE_PATH);
}

void CharacteristicsFixture::Bind(bool autoUpdate)
{
    PublishAntennas();
    ASSERT_TRUE(m_characteristics.SetBase_ValuePath(DEVICE_PATH, autoUpdate));
}
