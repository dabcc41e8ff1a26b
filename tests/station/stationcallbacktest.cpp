#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "devicecontrol/directionfinder/kvtcommon/freqrangedefinition.h"
#include "devicecontrol/directionfinder/kvtcommon/legacydriveradapter.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "tests/values/valuetestfixture.h"
#include "simulation/simulatedlegacydriver.h"
#include "simulation/simulationrandom.h"
#include "station/stationcallback.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/valuenumeric.h"

using namespace NxKVTCommon;

namespace {

const QString DEVICE = QStringLiteral("/Dev");
const double WIDE = 100e6;

/// The simulated device behind the adapter, reporting to the station's callback on a fresh tree.
class StationCallbackTest : public ValueTreeTest
{
protected:
    void SetUp() override
    {
        ValueTreeTest::SetUp();
        StdDeviceDefinition::StdDeviceTree::Device(DEVICE);
        Number(StdDeviceDefinition::g_vdRollThreshold)->SetValue(10.0);
        Number(StdDeviceDefinition::g_vdPitchThreshold)->SetValue(10.0);
        m_params.SetValid(true, nullptr);
        m_pCallback = std::make_unique<StationCallback>(DEVICE, "Test", m_params, m_log);
        m_adapter.SetLegacyDriver(&m_driver);
        static_cast<IDriver&>(m_adapter).SetCallback(m_pCallback.get());
        m_driver.SetLegacyCallback(&m_adapter);
    }

    static values::ValueNumeric<double>* Number(const values::ValueDescriptor& descriptor)
    {
        return values::Tree::Instance()->Find<values::ValueNumeric<double>>(DEVICE + descriptor.PathName());
    }

    quint64 Rejected() const
    {
        return m_pCallback->GetRejected(FilterRejectReason::Tilt) + m_pCallback->GetRejected(FilterRejectReason::OverheadPass)
               + m_pCallback->GetRejected(FilterRejectReason::NoQuality);
    }

    SimulationRandom m_random{3};
    SimulatedLegacyDriver m_driver{m_random};
    LegacyDriverAdapter m_adapter;
    OverheadPassParams m_params;
    CommandProtocol m_log{"Test", "never initialised"};
    std::unique_ptr<StationCallback> m_pCallback;
};

TEST_F(StationCallbackTest, EveryScannedBearingIsAcceptedOrRejectedForOneReason)
{
    IDriver& driver = m_adapter;
    std::vector<std::vector<values::BearingResult>> lstHeard;
    m_pCallback->SetAcceptedListener([&lstHeard](const std::vector<values::BearingResult>& accepted, bool bScan) {
        EXPECT_TRUE(bScan);
        lstHeard.push_back(accepted);
    });
    driver.SetMode(EMODE_SCAN);
    FreqRangeDefinition range;
    range.SetStopFreq(WIDE);
    driver.AddFreqRange(&range);
    // Strong and clear, overhead, weak, and one in the mast's shadow (120° to 150°) that the device drops.
    const std::vector<EmitterState> emitters = {
        {1e6, 75.0, 5.0, 45.0}, {2e6, 40.0, 75.0, 40.0}, {3e6, 330.0, 2.0, 14.0}, {4e6, 135.0, 1.0, 45.0}};

    m_driver.Measure(1000, emitters);
    EXPECT_EQ(m_pCallback->GetProduced(), 3u);
    EXPECT_EQ(m_pCallback->GetAccepted(), 2u);
    EXPECT_EQ(m_pCallback->GetRejected(FilterRejectReason::OverheadPass), 1u);
    ASSERT_EQ(lstHeard.size(), 1u);
    ASSERT_EQ(lstHeard[0].size(), 2u);
    EXPECT_DOUBLE_EQ(lstHeard[0][1].GetFrequency(), 3e6);
    EXPECT_EQ(lstHeard[0][1].GetTimeStamp(), 1000u);

    // A slow link: the weak bearing comes without quality and the connection-speed filter counts it.
    m_driver.SetReducedData(true);
    values::Tree::Instance()
        ->Find<values::Value<int>>(NxKVTCommon::BearingPipeline::ConnectionSpeedPath(DEVICE))
        ->SetValue(1);
    m_driver.Measure(2000, emitters);
    EXPECT_EQ(m_pCallback->GetRejected(FilterRejectReason::NoQuality), 1u);
    EXPECT_EQ(lstHeard.back().size(), 1u);

    // A rolling platform rejects the whole block, whatever else is wrong with its bearings.
    Number(StdDeviceDefinition::g_vdRoll)->SetValue(-12.0);
    m_driver.Measure(3000, emitters);
    EXPECT_EQ(m_pCallback->GetRejected(FilterRejectReason::Tilt), 3u);
    EXPECT_EQ(m_pCallback->GetRejected(FilterRejectReason::NoQuality), 1u);
    EXPECT_EQ(m_pCallback->GetProduced(), m_pCallback->GetAccepted() + Rejected());
    ASSERT_EQ(lstHeard.size(), 3u) << "a scan that keeps nothing is told too: it replaces the last one";
    EXPECT_TRUE(lstHeard.back().empty());
}

TEST_F(StationCallbackTest, FixedFrequencyResultsAreToldOneReportAtATime)
{
    IDriver& driver = m_adapter;
    driver.SetMode(EMODE_FFM);
    driver.SetFrequency(156.8e6);
    const std::vector<EmitterState> emitters = {{156.8e6, 200.0, 1.0, 40.0}, {121.5e6, 40.0, 5.0, 40.0}};
    std::vector<quint64> lstTimes;
    m_pCallback->SetAcceptedListener([&lstTimes](const std::vector<values::BearingResult>& accepted, bool bScan) {
        EXPECT_FALSE(bScan);
        for (const values::BearingResult& result : accepted)
            lstTimes.push_back(result.GetTimeStamp());
    });

    m_driver.Measure(1000, emitters);
    m_driver.Measure(1050, emitters);
    EXPECT_EQ(m_pCallback->GetAccepted(), 2u);
    EXPECT_EQ(lstTimes, (std::vector<quint64>{1000u, 1050u}));
}

}
