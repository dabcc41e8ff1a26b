#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"

#include <gtest/gtest.h>

TEST(KVTCharacteristicsTools, DfMethodsBothWaysWithLastKeyWinning)
{
    const KVTCharacteristicsTools tools;
    const char* const aszTexts[] = {"WAT", "COR9", "SUPR", "VMR"};
    for (unsigned long nMethod = 0; nMethod < 4; ++nMethod)
        EXPECT_EQ(tools.TranslateDfMethod(nMethod), aszTexts[nMethod]);
    EXPECT_EQ(tools.TranslateDfMethod(7ul), "Unknown");

    for (const char* pszKey : {"COR", "COR8", "COR8O", "COR9"})
        EXPECT_EQ(tools.TranslateDfMethod(QString(pszKey)), DF_METHOD_COR) << pszKey;
    EXPECT_EQ(tools.TranslateDfMethod(QString("VMI")), DF_METHOD_VEC);
    EXPECT_EQ(tools.TranslateDfMethod(QString("cor")), 0xFFFFFFFFul);
}

TEST(KVTCharacteristicsTools, PolarisationBothWays)
{
    const KVTCharacteristicsTools tools;
    const char* const aszTexts[] = {"Left", "Right", "Vertical", "Horizontal"};
    for (unsigned long nMode = 0; nMode < 4; ++nMode)
    {
        EXPECT_EQ(tools.TranslatePolarisationMode(nMode), aszTexts[nMode]);
        EXPECT_EQ(tools.TranslatePolarisationMode(QString(aszTexts[nMode])), nMode);
    }
    EXPECT_TRUE(tools.TranslatePolarisationMode(4ul).isEmpty());
    // Codes are not truncated to 32 bits before the lookup.
    EXPECT_TRUE(tools.TranslatePolarisationMode(0x100000002ul).isEmpty());
    EXPECT_EQ(tools.TranslatePolarisationMode(QString("vertical")), 0xFFFFFFFFul);
}
