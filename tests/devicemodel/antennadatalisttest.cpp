#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

#include "base/errorhandler.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace
{
constexpr double MHz = 1e6;

// A record whose nominal span equals its used range.
AntennaData* MakeAntenna(const QString& strName, double fMin, double fMax, EKVTPolarisation ePol = POL_LEFT,
                         bool bEnabled = true, qint32 nHandle = -1)
{
    auto* pAntenna = new AntennaData;
    pAntenna->m_strName = strName;
    pAntenna->m_fMinFreq = pAntenna->m_fMinRange = fMin;
    pAntenna->m_fMaxFreq = pAntenna->m_fMaxRange = fMax;
    pAntenna->m_ePolarizationMode = ePol;
    pAntenna->m_bEnabled = bEnabled;
    pAntenna->m_nHandle = nHandle;
    return pAntenna;
}

QStringList Names(const AntennaDataList& list)
{
    QStringList names;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
        names << list.GetAntennaByIndex(i)->m_strName;
    return names;
}
} // namespace

TEST(AntennaDataList, MembershipByName)
{
    AntennaDataList list;
    EXPECT_TRUE(list.AddAntenna(nullptr));
    for (const char* pszName : {"A", "B", "C"})
        list.AddAntenna(MakeAntenna(pszName, 1, 2));
    EXPECT_FALSE(list.DeleteAntenna(nullptr));
    const AntennaData stranger = *list.GetAntennaByIndex(1);
    EXPECT_TRUE(list.DeleteAntenna(&stranger));
    EXPECT_TRUE(list.DeleteAntenna(list.GetAntennaByIndex(0)));
    EXPECT_FALSE(list.DeleteAntenna(&stranger));
    EXPECT_EQ(Names(list), QStringList{"C"});
    EXPECT_EQ(list.GetAntennaByIndex(-1), nullptr);
    EXPECT_EQ(list.GetAntennaByIndex(1), nullptr);
}

TEST(AntennaDataList, FrequencyLookupPrefersPolarisationThenLastCovering)
{
    AntennaDataList list;
    list.AddAntenna(MakeAntenna("A", 100 * MHz, 200 * MHz, POL_VERTICAL));
    list.AddAntenna(MakeAntenna("B", 150 * MHz, 300 * MHz, POL_HORIZONTAL));
    list.AddAntenna(MakeAntenna("off", 100 * MHz, 300 * MHz, POL_LEFT, false));

    EXPECT_EQ(list.GetAntennaForFrequency(160 * MHz, false, POL_HORIZONTAL)->m_strName, "B");
    EXPECT_EQ(list.GetAntennaForFrequency(160 * MHz, false, POL_VERTICAL)->m_strName, "A");
    EXPECT_EQ(list.GetAntennaForFrequency(160 * MHz, false, POL_LEFT)->m_strName, "B");
    EXPECT_EQ(list.GetAntennaForFrequency(301 * MHz, false, POL_LEFT), nullptr);
    EXPECT_EQ(list.GetAntennaForFrequency(150 * MHz, false, POL_VERTICAL)->m_strName, "A");
    EXPECT_EQ(list.GetAntennaForFrequency(150 * MHz, true, POL_VERTICAL)->m_strName, "B");

    EXPECT_EQ(list.GetAntennaForFreqRange(160 * MHz, 250 * MHz)->m_strName, "B");
    EXPECT_EQ(list.GetAntennaForFreqRange(120 * MHz, 250 * MHz), nullptr);

    EXPECT_FALSE(list.ContainsHFAntenna());
    list.AddAntenna(MakeAntenna("HF", 0.3 * MHz, 30 * MHz));
    EXPECT_TRUE(list.ContainsHFAntenna());
}

TEST(AntennaDataList, MergesRecordsOfOnePhysicalAntenna)
{
    AntennaDataList list;
    AntennaData* pLow = MakeAntenna("low", 20 * MHz, 80 * MHz, POL_LEFT, false, 7);
    list.AddAntenna(pLow);
    AntennaData* pHigh = MakeAntenna("high", 80 * MHz, 200 * MHz, POL_LEFT, true, 7);
    pHigh->m_fMinFreq = 10 * MHz;
    pHigh->m_fMaxFreq = 220 * MHz;
    list.AddAntenna(pHigh);
    list.AddAntenna(MakeAntenna("single", 5 * MHz, 9 * MHz, POL_LEFT, false, 3));
    EXPECT_EQ(list.GetAntennaHandles(false), (std::set<long>{3, 7}));
    EXPECT_EQ(list.GetAntennaHandles(true), std::set<long>{7});
    EXPECT_EQ(list.GetAntennaByHandle(7), pLow);

    AntennaData merged;
    ASSERT_TRUE(list.GetCommonAntennaByHandle(7, merged));
    EXPECT_EQ(merged.m_strName, "low");
    EXPECT_TRUE(merged.m_bEnabled);
    EXPECT_EQ(merged.m_fMinRange, 80 * MHz);
    EXPECT_EQ(merged.m_fMaxRange, 200 * MHz);
    EXPECT_EQ(merged.m_fMinFreq, 10 * MHz);
    EXPECT_EQ(merged.m_fMaxFreq, 220 * MHz);

    ASSERT_TRUE(list.GetCommonAntennaByHandle(3, merged));
    EXPECT_FALSE(merged.m_bEnabled);
    EXPECT_EQ(merged.m_fMinRange, 5 * MHz);
    EXPECT_EQ(merged.m_fMaxRange, 5 * MHz);

    merged.m_bEnabled = true;
    EXPECT_FALSE(list.GetCommonAntennaByHandle(99, merged));
    EXPECT_FALSE(merged.m_bEnabled);
    EXPECT_EQ(merged.m_strName, "single");
}

TEST(AntennaDataList, RangeRepairs)
{
    AntennaDataList list;
    list.AddAntenna(MakeAntenna("zero", 0, 0));
    list.AddAntenna(MakeAntenna("hf", 0, 30 * MHz));
    list.AddAntenna(MakeAntenna("off", 30 * MHz, 50 * MHz, POL_LEFT, false));
    list.AddAntenna(MakeAntenna("vuhf", 30 * MHz, 1000 * MHz));
    list.AddAntenna(MakeAntenna("overlap", 900 * MHz, 3000 * MHz));
    list.MakeAntennaRangesDisjoint();
    EXPECT_EQ(list.GetAntennaByIndex(1)->m_fMinRange, 0.0);
    EXPECT_EQ(list.GetAntennaByIndex(3)->m_fMinRange, 30000001.0);
    EXPECT_EQ(list.GetAntennaByIndex(4)->m_fMinRange, 900 * MHz);

    AntennaDataList startup;
    startup.SetStartupDefaults(true, false);
    startup.AddAntenna(MakeAntenna("first", 20 * MHz, 100 * MHz));
    startup.AddAntenna(MakeAntenna("duplicate", 20 * MHz, 100 * MHz));
    startup.AddAntenna(MakeAntenna("HR428_L", 90 * MHz, 200 * MHz));
    startup.AddAntenna(MakeAntenna("off", 100 * MHz, 300 * MHz, POL_LEFT, false));
    startup.AddAntenna(MakeAntenna("vertical", 150 * MHz, 400 * MHz, POL_VERTICAL));
    startup.SetStartupDefaults(false, true);
    const AntennaData* pDuplicate = startup.GetAntennaByIndex(1);
    const AntennaData* pHr428 = startup.GetAntennaByIndex(2);
    EXPECT_FALSE(pDuplicate->m_bEnabled);
    // The disabled duplicate stays the predecessor and is cut; the disabled
    // "off" is passed over, and other polarisations may overlap.
    EXPECT_EQ(startup.GetAntennaByIndex(0)->m_fMaxRange, 100 * MHz);
    EXPECT_EQ(pDuplicate->m_fMaxRange, 90 * MHz);
    EXPECT_EQ(pHr428->m_fMinRange, 90 * MHz + 1.0);
    EXPECT_EQ(pHr428->m_fMaxRange, 200 * MHz);
    EXPECT_EQ(startup.GetAntennaByIndex(4)->m_fMinRange, 150 * MHz);
    QList<bool> compass;
    for (int i = 0; i < startup.GetAntennaCount(); ++i)
        compass << startup.GetAntennaByIndex(i)->m_bCompassEnabled;
    EXPECT_EQ(compass, (QList<bool>{true, true, false, false, true}));
}

TEST(AntennaDataList, CopyFromIsDeepAndSorted)
{
    AntennaDataList source("/dev/base", "");
    source.allowSave(false);
    AntennaData* pVuhf = MakeAntenna("vuhf", 20 * MHz, 3000 * MHz);
    pVuhf->m_lstDfMethodNames = QStringList{"COR9", "VMR", "WAT"};
    pVuhf->m_lstDfMethods = {DF_METHOD_COR, DF_METHOD_VEC, DF_METHOD_WAT};
    pVuhf->m_nReserved1 = 0x123456789;
    source.AddAntenna(pVuhf);
    source.AddAntenna(MakeAntenna("hf", 0.3 * MHz, 30 * MHz));

    AntennaDataList copy;
    copy.AddAntenna(MakeAntenna("old", 1, 2));
    copy.CopyFrom(source);
    EXPECT_EQ(Names(copy), (QStringList{"hf", "vuhf"}));
    EXPECT_EQ(copy.GetBasePath(), "/dev/base");
    EXPECT_EQ(copy.GetStationAddress(), "Default");
    EXPECT_FALSE(copy.GetAllowSave());

    AntennaData* pCopied = copy.GetAntennaByIndex(1);
    EXPECT_EQ(pCopied->m_lstDfMethods, pVuhf->m_lstDfMethods);
    EXPECT_EQ(pCopied->m_nReserved1, 0x123456789);
    pCopied->m_lstDfMethodNames.removeLast();
    EXPECT_EQ(pVuhf->m_lstDfMethodNames.size(), 3);

    copy.CopyFrom(copy);
    EXPECT_EQ(Names(copy), (QStringList{"hf", "vuhf"}));
}

TEST(AntennaDataList, TraceOnlyWhileEnabled)
{
    ErrorHandler& handler = ErrorHandler::Instance();
    const unsigned nOldMask = handler.GetTraceMask();
    QStringList lines;
    handler.SetSink([&lines](const QString& strLine) { lines << strLine; });
    AntennaDataList list;
    AntennaData* pAntenna = MakeAntenna("HR469", 20 * MHz, 1300 * MHz);
    pAntenna->m_fMinRange = 30000001;
    pAntenna->m_strConverterTypeName = "VQ28";
    list.AddAntenna(pAntenna);

    handler.SetTraceMask(0x02);
    list.PrintAntennaTrace();
    handler.SetTraceMask(0x20);
    list.PrintAntennaTrace();
    handler.ResetSink();
    handler.SetTraceMask(nOldMask);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().endsWith("Antenna name=HR469 handle=4294967295 enabled=1 "
                                       "frequency=2e+07-1.3e+09 range=30000001-1.3e+09 (at converter VQ28)"))
        << lines.first().toStdString();
}
