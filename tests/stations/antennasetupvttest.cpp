#include "stationsfixture.h"
#include "stationstestsupport.h"

#include "base/arexception.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/stddevicedefinition/stdadapter.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/value.h"

namespace
{

const QString DEVICE = QStringLiteral("/KVTServer");
const QString CFG_NODE = QStringLiteral("/KVTServer/DevAttr/Cfg");

class AntennaSetupVtTest : public StationsFixture
{
protected:
    values::Node* CfgNode() const { return values::Tree::Instance()->FindNode(CFG_NODE); }

    values::Node* AntennaNode(int index) const
    {
        return values::Tree::Instance()->FindNode(CFG_NODE + QStringLiteral("/Ant%1").arg(index));
    }

    // Everything a record carries in the tree, including run-time handles.
    static QString DescribeInTree(const AntennaData& a)
    {
        return StationsTest::DescribeStored(a) + QStringLiteral("|%1|%2|%3|%4|%5|%6")
                                                     .arg(a.m_nHandle)
                                                     .arg(a.m_nCompassHandle)
                                                     .arg(a.m_nConverterHandle)
                                                     .arg(a.m_ePolarizationMode)
                                                     .arg(a.m_nReserved)
                                                     .arg(a.m_nReserved1);
    }
};

TEST_F(AntennaSetupVtTest, WrittenNodesReadBackAsTheSameRecords)
{
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    antennas.GetAntennaByIndex(0)->m_nReserved = 42;
    values::ValueDescriptor::SetBasePath(QStringLiteral("/Elsewhere"));
    antennas.WriteAntennasToValueTree(DEVICE);
    ASSERT_NE(AntennaNode(2), nullptr);

    AntennaDataList read;
    EXPECT_EQ(read.ReadAntennasFromValueTree(DEVICE), 3);
    EXPECT_EQ(values::ValueDescriptor::GetBasePath(), DEVICE);
    ASSERT_EQ(read.GetAntennaCount(), 3);
    // The tree names each DF method by its code, so "COR8O" comes back as "COR9".
    antennas.GetAntennaByIndex(0)->m_lstDfMethodNames[0] = QStringLiteral("COR9");
    antennas.GetAntennaByIndex(0)->m_nReserved = -1;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(DescribeInTree(*read.GetAntennaByIndex(i)), DescribeInTree(*antennas.GetAntennaByIndex(i)));

    const values::ValueSelection* pMethods = StdDeviceDefinition::StdAdapter(AntennaNode(1)).GetAntDfAlgorithm();
    ASSERT_NE(pMethods, nullptr);
    ASSERT_EQ(pMethods->GetItemCount(), 3);
    EXPECT_EQ(pMethods->GetItem(2)->GetKey(), 2);
    EXPECT_EQ(pMethods->GetItem(2)->GetValue(), 0.0);
}

TEST_F(AntennaSetupVtTest, WriteAndDeleteReplaceOnlyAntennaNodes)
{
    AntennaDataList antennas(DEVICE, QString());
    StationsTest::AddSampleSetup(antennas);
    antennas.WriteAntennasToValueTree(QString());
    values::Tree::Instance()->CreateValue<values::Value<int>>(CFG_NODE + QStringLiteral("/Other"), 5);

    antennas.DeleteAntenna(antennas.GetAntennaByIndex(0));
    antennas.WriteAntennasToValueTree(DEVICE);
    EXPECT_EQ(CfgNode()->GetChildCount(), 3);
    EXPECT_EQ(StdDeviceDefinition::StdAdapter(AntennaNode(0)).GetAntName()->GetValue(), QStringLiteral("VUHF Dipole"));
    EXPECT_EQ(AntennaNode(2), nullptr);

    antennas.DeleteAllAntennasFromValueTree(QString());
    ASSERT_EQ(CfgNode()->GetChildCount(), 1);
    EXPECT_EQ(CfgNode()->GetTreeItems().first()->GetName(), QStringLiteral("Other"));
    AntennaDataList read;
    EXPECT_EQ(read.ReadAntennasFromValueTree(DEVICE), 0);
}

TEST_F(AntennaSetupVtTest, UpdateTakesOverMatchingNodesByPosition)
{
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    antennas.WriteAntennasToValueTree(DEVICE);

    const StdDeviceDefinition::StdAdapter hf(AntennaNode(0));
    hf.GetAntMinRange()->SetValue(1000000.0);
    hf.GetAntConverterHandle()->SetValue(9);
    hf.GetAntHandle()->SetValue(77);
    StdDeviceDefinition::StdAdapter(AntennaNode(1)).GetAntName()->SetValue(QStringLiteral("Renamed"));

    EXPECT_EQ(antennas.UpdateAntennasFromValueTree(DEVICE), 2);
    EXPECT_EQ(antennas.UpdateAntennasFromValueTree(DEVICE), 2);
    const AntennaData& rHf = *antennas.GetAntennaByIndex(0);
    EXPECT_EQ(rHf.m_fMinRange, 1000000.0);
    EXPECT_EQ(rHf.m_nConverterHandle, 9);
    EXPECT_EQ(rHf.m_nHandle, 1);
    EXPECT_EQ(rHf.m_lstDfMethodNames, (QStringList{QStringLiteral("COR9"), QStringLiteral("WAT")}));
    EXPECT_EQ(rHf.m_lstDfMethods.size(), 2);
    EXPECT_EQ(antennas.GetAntennaByIndex(1)->m_strName, QStringLiteral("VUHF Dipole"));
    EXPECT_TRUE(Traced(QStringLiteral("WARNING: antenna Renamed 2e+07 - 3e+09 (handle=2) in value tree "
                                      "does not match AntennaDataList")));

    antennas.Clear();
    EXPECT_EQ(antennas.UpdateAntennasFromValueTree(DEVICE), 0);
}

TEST_F(AntennaSetupVtTest, MissingMembersKeepDefaultsAndAreTraced)
{
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    antennas.WriteAntennasToValueTree(DEVICE);
    values::Node* pNode = AntennaNode(0);
    pNode->RemoveChild(pNode->GetChild(QStringLiteral("AntCompassValue")));
    pNode->RemoveChild(pNode->GetChild(QStringLiteral("AntName")));
    pNode->InsertChild(std::make_unique<values::Value<int>>(QStringLiteral("AntName"), 3));

    AntennaDataList read;
    EXPECT_EQ(read.ReadAntennasFromValueTree(DEVICE), 3);
    EXPECT_EQ(read.GetAntennaByIndex(0)->m_fCompassValue, -1.0f);
    EXPECT_EQ(read.GetAntennaByIndex(0)->m_strName, QString());
    EXPECT_EQ(read.GetAntennaByIndex(0)->m_fMechOffset, -3.5f);
    EXPECT_TRUE(Traced(QStringLiteral("_GETVALUE AntCompassValue failed - ignored")));
    EXPECT_TRUE(Traced(QStringLiteral("_GETVALUE AntName failed - ignored")));
}

TEST_F(AntennaSetupVtTest, BlockedConfigurationNodeThrows)
{
    values::Tree::Instance()->CreateValue<values::Value<int>>(QStringLiteral("/Blocked/DevAttr"), 1);
    values::Tree::Instance()->CreateValue<values::Value<int>>(QStringLiteral("/Taken/DevAttr/Cfg"), 1);
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    for (const QString& strDevice : {QStringLiteral("/Blocked"), QStringLiteral("/Taken")})
    {
        try
        {
            antennas.WriteAntennasToValueTree(strDevice);
            ADD_FAILURE() << "no exception";
        }
        catch (const ARException& e)
        {
            EXPECT_EQ(e.GetMessage(), QStringLiteral("Could not create node according to value descriptor /DevAttr/Cfg."));
            EXPECT_EQ(e.GetFunction(), QStringLiteral("CreateNode"));
        }
        EXPECT_THROW(antennas.ReadAntennasFromValueTree(strDevice), ARException);
        EXPECT_THROW(antennas.UpdateAntennasFromValueTree(strDevice), ARException);
        EXPECT_THROW(antennas.DeleteAllAntennasFromValueTree(strDevice), ARException);
    }
}

}
