#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"

#include <gtest/gtest.h>

TEST(KVTCharacteristicsTools, DfMethodCodeToTextTakesLastKeyInTextOrder)
{
    const KVTCharacteristicsTools tools;
    EXPECT_EQ(tools.TranslateDfMethod(0ul), "WAT");
    EXPECT_EQ(tools.TranslateDfMethod(1ul), "COR9");
    EXPECT_EQ(tools.TranslateDfMethod(2ul), "SUPR");
    EXPECT_EQ(tools.TranslateDfMethod(3ul), "VMR");
    EXPECT_EQ(tools.TranslateDfMethod(7ul), "Unknown");
    EXPECT_EQ(tools.TranslateDfMethod(0xFFFFFFFFul), "Unknown");
}

TEST(KVTCharacteristicsTools, DfMethodTextToCodeIsExact)
{
    const KVTCharacteristicsTools tools;
    for (const char* pszKey : {"COR", "COR8", "COR8O", "COR9"})
        EXPECT_EQ(tools.TranslateDfMethod(QString(pszKey)), DF_METHOD_COR) << pszKey;
    for (const char* pszKey : {"VEC", "VMI", "VMR"})
        EXPECT_EQ(tools.TranslateDfMethod(QString(pszKey)), DF_METHOD_VEC) << pszKey;
    EXPECT_EQ(tools.TranslateDfMethod(QString("SUPR")), DF_METHOD_SUPR);
    EXPECT_EQ(tools.TranslateDfMethod(QString("WAT")), DF_METHOD_WAT);
    EXPECT_EQ(tools.TranslateDfMethod(QString("cor")), 0xFFFFFFFFul);
    EXPECT_EQ(tools.TranslateDfMethod(QString()), 0xFFFFFFFFul);

    // A round trip does not keep the text.
    EXPECT_EQ(tools.TranslateDfMethod(tools.TranslateDfMethod(QString("COR8O"))), "COR9");
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
