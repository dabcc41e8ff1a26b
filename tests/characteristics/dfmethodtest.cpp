#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <list>

namespace {

using DfMethodTest = CharacteristicsFixture;

AntennaData* WithMethods(AntennaData* pAntenna, const QList<quint32>& methods)
{
    pAntenna->m_lstDfMethods = methods;
    return pAntenna;
}

TEST_F(DfMethodTest, MethodsOfCoveringAntennasInOrderOfFirstAppearance)
{
    WithMethods(AddAntenna("HR469SR", "VQ28", 2e7, 1.3e9), {DF_METHOD_COR, DF_METHOD_SUPR});
    WithMethods(AddAntenna("HR467", "VQ28", 2e7, 3.6e9), {DF_METHOD_SUPR, DF_METHOD_VEC});
    WithMethods(AddAntenna("HR443", "VQ28", 1.3e9, 3e9), {DF_METHOD_WAT})->m_bEnabled = false;
    Bind();

    EXPECT_TRUE(m_characteristics.GetAvailableDfMethodsForFreq(1e7, 0).empty());
    EXPECT_FALSE(m_characteristics.IsSuperResolutionAvailable());
    EXPECT_EQ(m_characteristics.GetAvailableDfMethodsForFreq(1e8, 0),
              (std::list<EKVTMethod>{DF_METHOD_COR, DF_METHOD_SUPR, DF_METHOD_VEC}));
    EXPECT_TRUE(m_characteristics.IsSuperResolutionAvailable());
    // The disabled antenna's method does not count.
    EXPECT_EQ(m_characteristics.GetAvailableDfMethodsForFreq(2e9, 0),
              (std::list<EKVTMethod>{DF_METHOD_SUPR, DF_METHOD_VEC}));
}

TEST_F(DfMethodTest, PolarisationsOfCoveringAntennasThatCanSwitch)
{
    AntennaData* pVertical = AddAntenna("HR439_V", "VQ28", 2e7, 1.3e9);
    AntennaData* pHorizontal = AddAntenna("HR439_H", "VQ28", 2e7, 1.3e9);
    AddAntenna("HR469", "VQ28", 2e7, 1.3e9)->m_ePolarizationMode = POL_RIGHT;
    pVertical->m_bPolarizationSupport = pHorizontal->m_bPolarizationSupport = true;
    pVertical->m_ePolarizationMode = POL_VERTICAL;
    pHorizontal->m_ePolarizationMode = POL_HORIZONTAL;
    Bind();

    const std::list<EKVTPolarisation> both{POL_VERTICAL, POL_HORIZONTAL};
    EXPECT_EQ(m_characteristics.GetAvailablePolarisationModesForFreq(1e8, 0), both);
    EXPECT_EQ(m_characteristics.GetAvailablePolarisationModesForFreq(1e8, 2e8), both);
    EXPECT_TRUE(m_characteristics.GetAvailablePolarisationModesForFreq(1e8, 2e9).empty());
}

TEST_F(DfMethodTest, DetailedMethodsComeFromTheAntennaLibrary)
{
    struct
    {
        const char* pszModel;
        double fFreq;
        long nExpected;
    } const cases[] = {
        {"HR478", 3e7, 1},       {"HR478", 30000001, 2}, {"HR438SR", 5e8, 10}, // outside its row: "SR" default
        {"HR999", 1e8, 2},       {"PW84", 1e8, 0},
    };
    for (const auto& c : cases) {
        AntennaData antenna;
        antenna.m_strName = c.pszModel;
        EXPECT_EQ(m_characteristics.GetDfMethodsDetailedForAntennaAndFrequency(&antenna, c.fFreq), c.nExpected)
            << c.pszModel << " at " << c.fFreq;
        EXPECT_TRUE(m_characteristics.HasAntennaDFMethod(&antenna, c.fFreq, static_cast<EKVTMethodDetailed>(0)));
    }
    AntennaData sr;
    sr.m_strName = "HR469SR";
    EXPECT_TRUE(m_characteristics.HasAntennaDFMethod(&sr, 1e8, static_cast<EKVTMethodDetailed>(10)));
    EXPECT_FALSE(m_characteristics.HasAntennaDFMethod(&sr, 1e8, METHOD_DETAILED_4));
}

TEST_F(DfMethodTest, DisplayNameDropsOneSideOrPolarisationSuffix)
{
    const std::pair<const char*, const char*> cases[] = {
        {"HR467 (A/P)", "HR467 (A/P)"}, {"HR463_R", "HR463"}, {"HR439_K3_V", "HR439_K3"}, {"HR428_l", "HR428_l"}};
    for (const auto& c : cases) {
        AntennaData antenna;
        antenna.m_strName = c.first;
        EXPECT_EQ(m_characteristics.GetAntennaDisplayName(&antenna), c.second);
    }
    EXPECT_EQ(m_characteristics.GetAntennaDisplayName(nullptr), "");
}

TEST_F(DfMethodTest, AzimuthFollowsDisplayModeAndDeclination)
{
    auto* pDeclination = values::Tree::Instance()->Find<values::ValueNumeric<int>>(
        DEVICE_PATH + StdDeviceDefinition::g_vdDeclination.PathName());
    ASSERT_NE(pDeclination, nullptr);
    pDeclination->SetValue(200);

    struct
    {
        unsigned short nAzimuth;
        int nMode;
        bool bResult;
        unsigned short nExpected;
    } const cases[] = {
        {100, 0, true, 100},   {100, 1, true, 3500}, {3000, 2, true, 1200},
        {100, 3, true, 1700},  {100, 4, false, 100},
    };
    for (const auto& c : cases) {
        unsigned short azimuth = c.nAzimuth;
        EXPECT_EQ(m_characteristics.AdjustAzimuthToDisplayMode(azimuth, c.nMode), c.bResult) << c.nMode;
        EXPECT_EQ(azimuth, c.nExpected) << c.nAzimuth << " in mode " << c.nMode;
    }

    values::Tree::Instance()->RemoveValue(DEVICE_PATH + StdDeviceDefinition::g_vdDeclination.PathName());
    unsigned short azimuth = 100;
    EXPECT_FALSE(m_characteristics.AdjustAzimuthToDisplayMode(azimuth, 1));
    EXPECT_EQ(azimuth, 100);
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

    const std::pair<int, int> attenuatorSteps[] = {{0, 2}, {1, 4}, {2, 2}, {3, 4}};
    for (const auto& kind : attenuatorSteps) {
        KVTCharacteristics::UpdateRfAttenuatorValuesAtVT(&selection, kind.first, nullptr);
        EXPECT_EQ(selection.GetItemCount(), kind.second) << "kind " << kind.first;
        EXPECT_EQ(*selection.GetItem(1), values::SelectionItem("12 dB", 12.0, 12));
    }
}

} // namespace
