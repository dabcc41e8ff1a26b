#include "simulation/stationsimulation.h"

#include "devicecontrol/directionfinder/kvtcommon/freqrangedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "station/devicevalue.h"
#include "simulation/scenarioworld.h"
#include "station/stationcallback.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QDateTime>

#include <cmath>
#include <limits>
#include <memory>

using namespace NxKVTCommon;

namespace {

const double SHIP_CHANNEL = 156.8e6;
const double AIRCRAFT_CHANNEL = 121.5e6;

/// A scan range of the schedule: name, start, stop, step (Hz).
struct ScanRange
{
    const char* pszName;
    double fStart;
    double fStop;
    double fStep;
};
const ScanRange s_aSCAN_RANGES[] = {
    {"HF coast", 8.0e6, 9.0e6, 1e3},
    {"VHF air", 118.0e6, 137.0e6, 8.333e3},
    {"VHF marine", 156.0e6, 162.025e6, 25e3},
    {"UHF", 430.0e6, 440.0e6, 25e3},
};

/// Scan sweeps take two steps; fixed-frequency results come every step.
const int STEPS_PER_SWEEP = 2;
/// Roll in degrees on a calm and on a rough sea, and the period of the roll.
const double CALM_ROLL = 4.0;
const double ROUGH_ROLL = 13.0;
const double ROLL_PERIOD_S = 2.0;
const double PITCH = 2.0;
const double PITCH_PERIOD_S = 5.0;

bool Within(double share, double from, double to)
{
    return share >= from && share < to;
}

template <class T, class V>
void Publish(const QString& devicePath, const values::ValueDescriptor& descriptor, V value)
{
    if (T* pValue = DeviceValue<T>(devicePath, descriptor))
        pValue->SetValue(value);
}

}

StationSimulation::StationSimulation(quint32 seed, int seconds, bool realtime, const QString& devicePath,
                                     StationCallback& callback)
    : m_strDevicePath(devicePath)
    , m_random(seed)
    , m_legacyDriver(m_random)
    , m_driver(m_adapter)
    , m_nDurationMs(static_cast<qint64>(seconds) * 1000)
{
    m_adapter.SetLegacyDriver(&m_legacyDriver);
    m_driver.SetCallback(&callback);
    m_legacyDriver.SetLegacyCallback(&m_adapter);
    m_stepTimer.setInterval(realtime ? STEP_MS : 0);
    connect(&m_stepTimer, &QTimer::timeout, this, &StationSimulation::SlotStep);
}

StationSimulation::~StationSimulation()
{
    m_legacyDriver.SetLegacyCallback(nullptr);
}

void StationSimulation::UseScenario(std::unique_ptr<ScenarioWorld> pWorld, const QString& handoverPath)
{
    m_pWorld = std::move(pWorld);
    m_strHandoverPath = handoverPath;
}

void StationSimulation::Start()
{
    m_nStartTimeMs = m_pWorld ? static_cast<quint64>(m_pWorld->GetStartMs())
                              : static_cast<quint64>(QDateTime::currentMSecsSinceEpoch());
    std::string parameters = "simulation";
    m_driver.Initialize(parameters, true);
    PublishDeviceInfo();
    m_driver.SetAverageTime(STEP_MS / 1000.0);
    if (m_pWorld) {
        const Scenario::Station& station = m_pWorld->GetStation();
        m_legacyDriver.SetSpread(station.fSigma);
        // The platform keeps its place: its position is published once.
        Publish<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdPosLatitude, station.fLatitude);
        Publish<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdPosLongitude,
                                              station.fLongitude);
        m_driver.SetMode(EMODE_FFM);
        if (auto* pMode = DeviceValue<values::ValueSelection>(m_strDevicePath, StdDeviceDefinition::g_vdOperationMode))
            pMode->SetCurrentKey(1);
        StepScenario();
    } else {
        EnterPhase(Phase::ShipChannel);
        PublishPlatform(0.0);
    }
    m_stepTimer.start();
}

void StationSimulation::SetPaused(bool bPaused)
{
    m_bPaused = bPaused;
    if (bPaused)
        m_stepTimer.stop();
    else if (m_nStartTimeMs != 0 && !m_bFinished)
        m_stepTimer.start();
}

void StationSimulation::Stop()
{
    if (m_nStartTimeMs == 0 || m_bFinished)
        return;
    m_stepTimer.stop();
    m_bFinished = true;
    emit Finished();
}

void StationSimulation::SlotStep()
{
    m_nElapsedMs += STEP_MS;
    if (m_pWorld) {
        StepScenario();
        if (m_nElapsedMs >= m_nDurationMs)
            Stop();
        return;
    }
    const double share = Share();
    const Phase ePhase = share < 0.25 ? Phase::ShipChannel : share < 0.5 ? Phase::AircraftChannel : Phase::Scan;
    if (ePhase != m_ePhase)
        EnterPhase(ePhase);

    const bool bSlowLink = Within(share, 0.55, 0.8);
    if (bSlowLink != m_bSlowLink) {
        m_bSlowLink = bSlowLink;
        m_legacyDriver.SetReducedData(bSlowLink);
        if (auto* pSpeed = values::Tree::Instance()->Find<values::Value<int>>(
                NxKVTCommon::BearingPipeline::ConnectionSpeedPath(m_strDevicePath)))
            pSpeed->SetValue(bSlowLink ? 1 : 0);
    }
    PublishPlatform(share);
    const bool bMeasure = m_ePhase != Phase::Scan || (m_nElapsedMs / STEP_MS) % STEPS_PER_SWEEP == 0;
    if (bMeasure)
        m_legacyDriver.Measure(m_nStartTimeMs + static_cast<quint64>(m_nElapsedMs), Emitters(share));

    if (m_nElapsedMs >= m_nDurationMs)
        Stop();
}

void StationSimulation::StepScenario()
{
    const double seconds = m_nElapsedMs / 1000.0;
    // Start() runs the step at 0, which takes the handovers at 0 too.
    const double previous = m_nElapsedMs == 0 ? -std::numeric_limits<double>::infinity() : seconds - STEP_MS / 1000.0;
    for (double fFrequency : m_pWorld->HandoversBetween(previous, seconds)) {
        if (auto* pHandover = values::Tree::Instance()->Find<values::ValueNumeric<double>>(m_strHandoverPath))
            pHandover->SetValue(fFrequency);
        PresetFrequency(m_strDevicePath, fFrequency);
    }
    FollowFrequencyValue();
    const Scenario::Station& station = m_pWorld->GetStation();
    Publish<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdRoll, m_pWorld->Roll(seconds));
    Publish<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdPitch, m_pWorld->Pitch(seconds));
    Publish<values::ValueNumeric<int>>(m_strDevicePath, StdDeviceDefinition::g_vdTrueHeading,
                                       static_cast<int>(std::lround(station.fHeading * 10.0)));
    Publish<values::Value<qint64>>(m_strDevicePath, StdDeviceDefinition::g_vdPosLastUpdate,
                                   static_cast<qint64>(m_nStartTimeMs) + m_nElapsedMs);
    m_legacyDriver.Measure(m_nStartTimeMs + static_cast<quint64>(m_nElapsedMs), m_pWorld->Emitters(seconds));
}

double StationSimulation::GetHeading() const
{
    const auto* pHeading = DeviceValue<values::ValueNumeric<int>>(m_strDevicePath, StdDeviceDefinition::g_vdTrueHeading);
    // The device reports tenths of a degree.
    return pHeading != nullptr ? pHeading->GetValue() / 10.0 : -1.0;
}

void StationSimulation::FollowFrequencyValue()
{
    const auto* pFrequency =
        DeviceValue<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdFrequency);
    const double fFrequency = pFrequency != nullptr ? pFrequency->GetValue() : 0.0;
    if (fFrequency == m_fTuned)
        return;
    m_fTuned = fFrequency;
    m_driver.SetFrequency(fFrequency);
    if (fFrequency > 0.0)
        m_lstTunings.push_back({m_nElapsedMs, fFrequency});
}

void StationSimulation::PresetFrequency(const QString& devicePath, double fFrequency)
{
    if (auto* pFrequency = DeviceValue<values::ValueNumeric<double>>(devicePath, StdDeviceDefinition::g_vdFrequency))
        pFrequency->SetValue(fFrequency);
}

void StationSimulation::PublishDeviceInfo()
{
    QList<ComponentInfo*> components;
    m_driver.RequestHWStatus(&components);
    if (auto* pInfo = DeviceValue<values::ValueSelection>(m_strDevicePath, StdDeviceDefinition::g_vdDevInfo)) {
        pInfo->RemoveAllItems();
        int key = 0;
        // Entries read "<kind>;<serial number>;<status>;<component>".
        for (const ComponentInfo* pComponent : qAsConst(components))
            pInfo->AddItem(QStringLiteral("HW;%1;%2;%3")
                               .arg(pComponent->m_strSerialNumber,
                                    pComponent->m_nStatus == 0 ? QStringLiteral("OK") : QStringLiteral("FAIL"),
                                    pComponent->m_strName),
                           0.0, key++);
    }
    qDeleteAll(components);

    if (auto* pMode = DeviceValue<values::ValueSelection>(m_strDevicePath, StdDeviceDefinition::g_vdOperationMode)) {
        pMode->RemoveAllItems();
        pMode->AddItem(QStringLiteral("FFM"), 0.0, 1);
        pMode->AddItem(QStringLiteral("Scan"), 0.0, 2);
    }
    if (auto* pStatus = DeviceValue<values::ValueSelection>(m_strDevicePath, StdDeviceDefinition::g_vdSRStatus)) {
        pStatus->RemoveAllItems();
        pStatus->AddItem(QStringLiteral("Idle"), 0.0, 0);
        pStatus->AddItem(QStringLiteral("Running"), 0.0, 1);
        pStatus->SetCurrentIndex(0);
    }
}

void StationSimulation::EnterPhase(Phase ePhase)
{
    m_ePhase = ePhase;
    auto* pMode = DeviceValue<values::ValueSelection>(m_strDevicePath, StdDeviceDefinition::g_vdOperationMode);
    auto* pStatus = DeviceValue<values::ValueSelection>(m_strDevicePath, StdDeviceDefinition::g_vdSRStatus);
    if (ePhase == Phase::Scan) {
        m_driver.SetMode(EMODE_SCAN);
        m_driver.DeleteAllChannels();
        for (const ScanRange& range : s_aSCAN_RANGES) {
            FreqRangeDefinition definition;
            definition.SetName(QString::fromLatin1(range.pszName));
            definition.SetStartFreq(range.fStart);
            definition.SetStopFreq(range.fStop);
            definition.SetStepFreq(range.fStep);
            m_driver.AddFreqRange(&definition);
        }
        if (pMode != nullptr)
            pMode->SetCurrentKey(2);
        if (pStatus != nullptr)
            pStatus->SetCurrentIndex(1);
        return;
    }
    m_driver.SetMode(EMODE_FFM);
    m_driver.SetFrequency(ePhase == Phase::ShipChannel ? SHIP_CHANNEL : AIRCRAFT_CHANNEL);
    if (auto* pFrequency = DeviceValue<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdFrequency))
        pFrequency->SetValue(ePhase == Phase::ShipChannel ? SHIP_CHANNEL : AIRCRAFT_CHANNEL);
    if (pMode != nullptr)
        pMode->SetCurrentKey(1);
    if (pStatus != nullptr)
        pStatus->SetCurrentIndex(0);
}

void StationSimulation::PublishPlatform(double share)
{
    const double seconds = m_nElapsedMs / 1000.0;
    const bool bRough = Within(share, 0.1, 0.2) || Within(share, 0.6, 0.7);
    const double roll = (bRough ? ROUGH_ROLL : CALM_ROLL) * std::sin(2.0 * M_PI * seconds / ROLL_PERIOD_S)
                        + m_random.Gauss(0.3);
    const double pitch = PITCH * std::sin(2.0 * M_PI * seconds / PITCH_PERIOD_S) + m_random.Gauss(0.2);
    // At anchor: the position stays, the heading swings a little.
    const double heading = 45.0 + 2.0 * std::sin(seconds / 7.0) + m_random.Gauss(0.2);
    Publish<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdRoll, roll);
    Publish<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdPitch, pitch);
    Publish<values::ValueNumeric<int>>(m_strDevicePath, StdDeviceDefinition::g_vdTrueHeading,
                                       static_cast<int>(std::lround(heading * 10.0)));
    Publish<values::ValueNumeric<double>>(m_strDevicePath, StdDeviceDefinition::g_vdAltitude, 12.0);
    Publish<values::Value<qint64>>(m_strDevicePath, StdDeviceDefinition::g_vdPosLastUpdate,
                                   static_cast<qint64>(m_nStartTimeMs) + m_nElapsedMs);
}

std::vector<EmitterState> StationSimulation::Emitters(double share) const
{
    const double seconds = m_nElapsedMs / 1000.0;
    // The aircraft climbs into view from the north-east, crosses overhead
    // half-way through the run and leaves to the south-west.
    const double climb = std::sin(M_PI * share);
    const double aircraftElevation = 10.0 + 75.0 * climb * climb;
    return {
        {8.291e6, 75.0, 5.0, 45.0},
        {SHIP_CHANNEL, std::fmod(200.0 + 0.8 * seconds, 360.0), 1.0, 38.0},
        {AIRCRAFT_CHANNEL, share < 0.5 ? 40.0 : 220.0, aircraftElevation, 30.0 + 15.0 * std::sin(M_PI * share)},
        {433.92e6, 330.0, 2.0, 14.0},
    };
}

double StationSimulation::Share() const
{
    return static_cast<double>(m_nElapsedMs) / static_cast<double>(m_nDurationMs);
}
