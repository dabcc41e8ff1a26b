#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"

#include <gtest/gtest.h>

TEST(KVTCharacteristicsTools, TranslatesBothWaysWithLastKeyWinning)
{
    const KVTCharacteristicsTools tools;
    const char* const aszMethods[] = {"WAT", "COR9", "SUPR", "VMR"};
    const char* const aszPolarisations[] = {"Left", "Right", "Vertical", "Horizontal"};
    for (unsigned long nCode = 0; nCode < 4; ++nCode)
    {
        EXPECT_EQ(tools.TranslateDfMethod(nCode), aszMethods[nCode]);
        EXPECT_EQ(tools.TranslatePolarisationMode(nCode), aszPolarisations[nCode]);
        EXPECT_EQ(tools.TranslatePolarisationMode(QString(aszPolarisations[nCode])), nCode);
    }
    // "COR", "COR8" and "COR8O" are older names of the method "COR9" now stands for.
    for (const char* pszKey : {"COR", "COR8", "COR8O", "COR9"})
        EXPECT_EQ(tools.TranslateDfMethod(QString(pszKey)), DF_METHOD_COR) << pszKey;
    EXPECT_EQ(tools.TranslateDfMethod(QString("VMI")), DF_METHOD_VEC);
    // Unknown codes and keys; codes are not truncated to 32 bits, keys are case-sensitive.
    EXPECT_EQ(tools.TranslateDfMethod(7ul), "Unknown");
    EXPECT_TRUE(tools.TranslatePolarisationMode(4ul).isEmpty() && tools.TranslatePolarisationMode(0x100000002ul).isEmpty());
    EXPECT_EQ(tools.TranslateDfMethod(QString("cor")), 0xFFFFFFFFul);
    EXPECT_EQ(tools.TranslatePolarisationMode(QString("vertical")), 0xFFFFFFFFul);
}
