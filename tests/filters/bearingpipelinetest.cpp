#include "devicecontrol/directionfinder/kvtcommon/bearingpipeline.h"
#include "devicecontrol/directionfinder/kvtcommon/driverpassthroughrecords.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "tests/values/valuetestfixture.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <cstring>
#include <vector>

using namespace NxKVTCommon;

namespace
{

const QString DEVICE = QStringLiteral("/Dev");

/// A device node with thresholds of 10° and an overhead-pass filter switched on at 60°.
class BearingPipelineTest : public ValueTreeTest
{
protected:
    void SetUp() override
    {
        ValueTreeTest::SetUp();
        StdDeviceDefinition::StdDeviceTree::Device(DEVICE);
        Number(StdDeviceDefinition::g_vdPitchThreshold)->SetValue(10.0);
        Number(StdDeviceDefinition::g_vdRollThreshold)->SetValue(10.0);
        m_params.SetValid(true, nullptr);
        m_pPipeline = std::make_unique<BearingPipeline>(DEVICE, m_params);
    }

    values::ValueNumeric<double>* Number(const values::ValueDescriptor& descriptor)
    {
        return tree().Find<values::ValueNumeric<double>>(DEVICE + descriptor.PathName());
    }

    quint64 RejectedInAll() const
    {
        return m_pPipeline->GetRejected(FilterRejectReason::Tilt)
               + m_pPipeline->GetRejected(FilterRejectReason::OverheadPass)
               + m_pPipeline->GetRejected(FilterRejectReason::NoQuality);
    }

    OverheadPassParams m_params;
    std::unique_ptr<BearingPipeline> m_pPipeline;
};

// Good, overhead, without quality, good.
std::vector<values::Bearing> MixedBlock()
{
    return {{1e6, 100, 750, 50, 40}, {2e6, 100, 400, 750, 40}, {3e6, 100, 3300, 20, 0}, {4e6, 100, 10, 0, 30}};
}

TEST_F(BearingPipelineTest, EachBearingIsAcceptedOrRejectedOnceAndTheCallersBlockStaysAsItWas)
{
    std::vector<values::Bearing> block = MixedBlock();
    const std::vector<values::Bearing> before = block;
    tree().Find<values::Value<int>>(BearingPipeline::ConnectionSpeedPath(DEVICE))->SetValue(1);

    const BearingPipeline::Outcome outcome = m_pPipeline->ProcessBlock(5000, 4, block.data());

    EXPECT_EQ(std::memcmp(block.data(), before.data(), sizeof(values::Bearing) * block.size()), 0);
    ASSERT_EQ(outcome.lstAccepted.size(), 2u);
    EXPECT_DOUBLE_EQ(outcome.lstAccepted[0].GetFrequency(), 1e6);
    EXPECT_DOUBLE_EQ(outcome.lstAccepted[1].GetFrequency(), 4e6);
    EXPECT_EQ(outcome.lstAccepted[1].GetTimeStamp(), 5000u);
    ASSERT_EQ(outcome.lstRejected.size(), 2u);
    EXPECT_EQ(outcome.lstRejected[0].eReason, FilterRejectReason::OverheadPass);
    EXPECT_EQ(outcome.lstRejected[0].result.GetQuality(), OverheadPassFilter::QUALITY_OVERHEAD_PASS);
    EXPECT_EQ(outcome.lstRejected[1].eReason, FilterRejectReason::NoQuality);
    EXPECT_EQ(outcome.lstRejected[1].result.GetLevel(), ConnectionSpeedFilter::LEVEL_NO_QUALITY);
    EXPECT_FALSE(outcome.bTilted);
    EXPECT_TRUE(tree().Find<values::Value<bool>>(BearingPipeline::DataValidPath(DEVICE))->GetValue());
}

TEST_F(BearingPipelineTest, ATiltedPlatformRejectsTheWholeBlockAsTiltOnly)
{
    std::vector<values::Bearing> block = MixedBlock();
    Number(StdDeviceDefinition::g_vdPitch)->SetValue(-10.0);

    const BearingPipeline::Outcome outcome = m_pPipeline->ProcessBlock(1, 4, block.data());

    EXPECT_TRUE(outcome.bTilted);
    EXPECT_TRUE(outcome.lstAccepted.empty());
    ASSERT_EQ(outcome.lstRejected.size(), 4u);
    for (const BearingPipeline::RejectedBearing& rejected : outcome.lstRejected)
        EXPECT_EQ(rejected.eReason, FilterRejectReason::Tilt);
    EXPECT_EQ(block[0].quality, 40);
    EXPECT_FALSE(tree().Find<values::Value<bool>>(BearingPipeline::DataValidPath(DEVICE))->GetValue());
    EXPECT_EQ(tree().Find<values::Value<QString>>(BearingPipeline::DataStateInfoPath(DEVICE))->GetValue(),
              QStringLiteral("Pitch/Roll value exceeds threshold."));

    // Level again: the next block is judged on its own.
    Number(StdDeviceDefinition::g_vdPitch)->SetValue(2.0);
    EXPECT_EQ(m_pPipeline->ProcessBlock(2, 4, block.data()).lstAccepted.size(), 2u);
    EXPECT_EQ(m_pPipeline->GetProduced(), 8u);
    EXPECT_EQ(m_pPipeline->GetRejected(FilterRejectReason::Tilt), 4u);
    EXPECT_EQ(m_pPipeline->GetProduced(), m_pPipeline->GetAccepted() + RejectedInAll());
}

TEST_F(BearingPipelineTest, BearingsWithoutQualityAreCountedAlsoWithoutAConnectionSpeed)
{
    std::vector<values::Bearing> block = MixedBlock();
    const BearingPipeline::Outcome outcome = m_pPipeline->ProcessBlock(1, 4, block.data());
    ASSERT_EQ(outcome.lstRejected.size(), 2u);
    EXPECT_EQ(outcome.lstRejected[1].eReason, FilterRejectReason::NoQuality);
    EXPECT_EQ(outcome.lstRejected[1].result.GetLevel(), 100);
    EXPECT_EQ(m_pPipeline->GetProduced(), m_pPipeline->GetAccepted() + RejectedInAll());

    EXPECT_TRUE(m_pPipeline->ProcessBlock(1, 3, nullptr).lstRejected.empty());
    EXPECT_EQ(m_pPipeline->GetProduced(), 4u);
    EXPECT_EQ(m_pPipeline->GetRejected(static_cast<FilterRejectReason>(FILTER_REJECT_REASON_COUNT)), 0u);
}

TEST_F(BearingPipelineTest, AFixedFrequencyResultIsOneBearingWithItsOwnTime)
{
    FFMData data;
    data.m_fFrequency = 156.8e6;
    data.m_nTimeStamp = 777;
    data.m_nAzimuth = 2000;
    data.m_nElevation = 650;
    data.m_nQuality = 20;
    const BearingPipeline::Outcome overhead = m_pPipeline->ProcessResult(data);
    ASSERT_EQ(overhead.lstRejected.size(), 1u);
    EXPECT_EQ(overhead.lstRejected[0].eReason, FilterRejectReason::OverheadPass);
    EXPECT_EQ(overhead.lstRejected[0].result.GetTimeStamp(), 777u);

    data.m_nElevation = 100;
    const BearingPipeline::Outcome accepted = m_pPipeline->ProcessResult(data);
    ASSERT_EQ(accepted.lstAccepted.size(), 1u);
    EXPECT_EQ(accepted.lstAccepted[0].GetAzimuth(), 2000);
}

} // namespace
