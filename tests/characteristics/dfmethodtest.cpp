#include "tests/characteristics/characteristicsfixture.h"

#include "valueframework/valueclasses/valueselection.h"

#include <QtNumeric>

#include <list>

namespace {

using DfMethodTest = CharacteristicsFixture;

TEST_F(DfMethodTest, MethodsAndPolarisationsOfEnabledCoveringAntennas)
{
    AddAntenna("HR469SR", "VQ28", 2e7, 1.3e9)->m_lstDfMethods = {DF_METHOD_COR, DF_METHOD_SUPR};
    AddAntenna("HR467", "VQ28", 2e7, 3.6e9)->m_lstDfMethods = {DF_METHOD_SUPR, DF_METHOD_VEC};
    AntennaData* pDisabled = AddAntenna("HR443", "VQ28", 1.3e9, 3e9);
    pDisabled->m_lstDfMethods = {DF_METHOD_WAT};
    pDisabled->m_bEnabled = false;
    for (const auto& side : {std::pair{"HR439_V", POL_VERTICAL}, {"HR439_H", POL_HORIZONTAL}}) {
        AntennaData* pAntenna = AddAntenna(side.first, "VQ28", 2e7, 1.3e9);
        pAntenna->m_bPolarizationSupport = true;
        pAntenna->m_ePolarizationMode = side.second;
    }
    AddAntenna("HR469", "VQ28", 2e7, 1.3e9)->m_ePolarizationMode = POL_RIGHT;  // cannot switch
    Bind();

    EXPECT_TRUE(m_characteristics.GetAvailableDfMethodsForFreq(1e7, 0).empty());
    EXPECT_TRUE(m_characteristics.GetAvailableDfMethodsForFreq(qQNaN(), 0).empty());
    EXPECT_FALSE(m_characteristics.IsSuperResolutionAvailable());
    // Order of first appearance; the disabled antenna's method does not count.
    EXPECT_EQ(m_characteristics.GetAvailableDfMethodsForFreq(1e8, 0),
              (std::list<EKVTMethod>{DF_METHOD_COR, DF_METHOD_SUPR, DF_METHOD_VEC}));
    EXPECT_EQ(m_characteristics.GetAvailableDfMethodsForFreq(2e9, 0),
              (std::list<EKVTMethod>{DF_METHOD_SUPR, DF_METHOD_VEC}));
    EXPECT_TRUE(m_characteristics.IsSuperResolutionAvailable());

    const std::list<EKVTPolarisation> both{POL_VERTICAL, POL_HORIZONTAL};
    EXPECT_EQ(m_characteristics.GetAvailablePolarisationModesForFreq(1e8, 0), both);
    EXPECT_EQ(m_characteristics.GetAvailablePolarisationModesForFreq(1e8, 2e8), both);
    EXPECT_TRUE(m_characteristics.GetAvailablePolarisationModesForFreq(1e8, 2e9).empty());
}

TEST_F(DfMethodTest, DetailedMethodsAndDisplayNameComeFromTheModel)
{
    // HR438SR at 500 MHz lies outside its row and gets the "SR" default.
    const struct { const char* pszModel; double fFreq; long nExpected; } cases[] = {
        {"HR478", 3e7, 1}, {"HR478", 30000001, 2}, {"HR438SR", 5e8, 10}, {"HR999", 1e8, 2}, {"PW84", 1e8, 0},
    };
    AntennaData antenna;
    for (const auto& c : cases) {
        antenna.m_strName = c.pszModel;
        EXPECT_EQ(m_characteristics.GetDfMethodsDetailedForAntennaAndFrequency(&antenna, c.fFreq), c.nExpected)
            << c.pszModel << " at " << c.fFreq;
        EXPECT_TRUE(m_characteristics.HasAntennaDFMethod(&antenna, c.fFreq, static_cast<EKVTMethodDetailed>(0)));
    }
    antenna.m_strName = "HR469SR";
    EXPECT_TRUE(m_characteristics.HasAntennaDFMethod(&antenna, 1e8, static_cast<EKVTMethodDetailed>(10)));
    EXPECT_FALSE(m_characteristics.HasAntennaDFMethod(&antenna, 1e8, METHOD_DETAILED_4));

    // The display name drops one side or polarisation suffix.
    for (const auto& c : {std::pair{"HR467 (A/P)", "HR467 (A/P)"}, {"HR463_R", "HR463"},
                          {"HR439_K3_V", "HR439_K3"}, {"HR428_l", "HR428_l"}}) {
        antenna.m_strName = c.first;
        EXPECT_EQ(m_characteristics.GetAntennaDisplayName(&antenna), c.second);
    }
    EXPECT_EQ(m_characteristics.GetAntennaDisplayName(nullptr), "");
}

TEST_F(DfMethodTest, AzimuthFollowsDisplayModeAndDeclination)
{
    SetDeviceText(StdDeviceDefinition::g_vdDeclination, "200");
    const struct { unsigned short nAzimuth; int nMode; bool bResult; unsigned short nExpected; } cases[] = {
        {100, 0, true, 100}, {100, 1, true, 3500}, {3000, 2, true, 1200}, {100, 3, true, 1700}, {100, 4, false, 100}};
    for (const auto& c : cases) {
        unsigned short azimuth = c.nAzimuth;
        EXPECT_EQ(m_characteristics.AdjustAzimuthToDisplayMode(azimuth, c.nMode), c.bResult) << c.nMode;
        EXPECT_EQ(azimuth, c.nExpected) << c.nAzimuth << " in mode " << c.nMode;
    }
    ASSERT_TRUE(RemoveDeviceValue(StdDeviceDefinition::g_vdDeclination));
    unsigned short azimuth = 100;
    EXPECT_TRUE(!m_characteristics.AdjustAzimuthToDisplayMode(azimuth, 1) && azimuth == 100);
}

TEST(SelectionHelperTest, FillsSelectionsWithMethodsPolarisationsAndAttenuatorSteps)
{
    values::ValueSelection selection;
    selection.AddItem("old", 0.0, 9);
    std::list<EKVTMethod> methods{DF_METHOD_VEC, DF_METHOD_COR};
    KVTCharacteristics::FillSelectionWithDfMethods(selection, methods, nullptr);
    ASSERT_EQ(selection.GetItemCount(), 2);
    EXPECT_EQ(*selection.GetItem(0), values::SelectionItem("VMR", 0.0, 0));
    EXPECT_EQ(*selection.GetItem(1), values::SelectionItem("COR9", 0.0, 1));

    KVTCharacteristics::FillSelectionWithPolarisationModes(selection, {POL_HORIZONTAL}, nullptr);
    ASSERT_EQ(selection.GetItemCount(), 1);
    EXPECT_EQ(*selection.GetItem(0), values::SelectionItem("Horizontal", 0.0, 3));

    for (const auto& kind : {std::pair{0, 2}, {1, 4}, {2, 2}, {3, 4}}) {
        KVTCharacteristics::UpdateRfAttenuatorValuesAtVT(&selection, kind.first, nullptr);
        EXPECT_EQ(selection.GetItemCount(), kind.second) << "kind " << kind.first;
        EXPECT_EQ(*selection.GetItem(1), values::SelectionItem("12 dB", 12.0, 12));
    }
}

} // namespace
