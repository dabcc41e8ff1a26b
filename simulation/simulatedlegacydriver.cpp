#include "simulation/simulatedlegacydriver.h"

#include "devicecontrol/directionfinder/kvtcommon/freqrangedefinition.h"
#include "devicecontrol/directionfinder/kvtcommon/ilegacydrivercallback.h"
#include "simulation/simulationrandom.h"

#include <algorithm>
#include <cmath>

using namespace NxKVTCommon;

namespace {

const qint32 STATUS_OK = 0;
/// The receiver's noise floor; the quality grows with the distance above it.
const double NOISE_FLOOR_DBUV = 5.0;
/// Below this quality a bearing counts as weak and loses its quality on a slow link.
const qint16 WEAK_QUALITY = 30;

QString MHz(double frequency)
{
    return QString::number(frequency / 1e6, 'f', 4);
}

}

SimulatedLegacyDriver::SimulatedLegacyDriver(SimulationRandom& random)
    : m_random(random)
{
}

std::vector<SimulatedLegacyDriver::Sector> SimulatedLegacyDriver::AcceptedSectors()
{
    // The mast shadows 120° to 150°, the funnel 250° to 300°.
    return {{300.0, 120.0}, {150.0, 250.0}};
}

QStringList SimulatedLegacyDriver::ComponentNames()
{
    return {QStringLiteral("DF Processor"), QStringLiteral("HF Receiver"), QStringLiteral("VUHF Receiver"),
            QStringLiteral("Antenna Switch"), QStringLiteral("GPS Receiver"), QStringLiteral("Noise Generator")};
}

void SimulatedLegacyDriver::Measure(quint64 nTimeMs, const std::vector<EmitterState>& emitters)
{
    m_nTimeMs = nTimeMs;
    if (m_pCallback == nullptr)
        return;
    StatusStruct status;
    if (m_eMode == EMODE_FFM) {
        const auto it = std::find_if(emitters.begin(), emitters.end(), [this](const EmitterState& emitter) {
            return std::abs(emitter.fFrequency - m_fFrequency) <= 0.5 * SimulatedLegacyDriver::BANDWIDTH_HZ;
        });
        values::Bearing bearing{};
        if (it == emitters.end() || !MeasureEmitter(*it, bearing))
            return;
        FFMData data;
        data.m_fFrequency = bearing.frequency;
        data.m_nTimeStamp = nTimeMs;
        data.m_nAzimuth = bearing.azimuth;
        data.m_nElevation = bearing.elevation;
        data.m_nLevel = bearing.level;
        data.m_nQuality = bearing.quality;
        m_pCallback->fillFFMBuffer(data, status, true);
        return;
    }
    std::vector<values::Bearing> bearings;
    for (const EmitterState& emitter : emitters) {
        const bool bInScan = std::any_of(m_lstScanRanges.begin(), m_lstScanRanges.end(), [&](const auto& range) {
            return emitter.fFrequency >= range.first && emitter.fFrequency <= range.second;
        });
        values::Bearing bearing{};
        if (bInScan && MeasureEmitter(emitter, bearing))
            bearings.push_back(bearing);
    }
    if (bearings.empty())
        return;
    quint64 nTimeStamp = nTimeMs;
    m_pCallback->fillScanBuffer(STATUS_OK, nTimeStamp, 0, static_cast<quint32>(bearings.size()), bearings.data(),
                                status);
    m_pCallback->SetEndOfScan(true);
}

bool SimulatedLegacyDriver::MeasureEmitter(const EmitterState& emitter, values::Bearing& rBearing)
{
    const double snr = std::max(0.0, emitter.fStrength - NOISE_FLOOR_DBUV);
    const double quality = std::clamp(snr * 2.0 + m_random.Gauss(3.0), 1.0, 99.0);
    // A weak signal scatters more; steep signals are harder to resolve in azimuth.
    const double spread =
        m_fSpread > 0.0 ? m_fSpread : 25.0 / std::sqrt(quality) * (1.0 + emitter.fElevation / 90.0);
    const double azimuth = std::fmod(emitter.fAzimuth + m_random.Gauss(spread) + 720.0, 360.0);
    if (!IsAccepted(azimuth))
        return false;
    rBearing.frequency = emitter.fFrequency;
    rBearing.level = static_cast<qint16>(std::lround((emitter.fStrength + m_random.Gauss(1.0)) * 100.0));
    rBearing.azimuth = static_cast<quint16>(std::lround(azimuth * 10.0) % 3600);
    rBearing.elevation = static_cast<qint16>(std::lround(std::clamp(emitter.fElevation + m_random.Gauss(1.5), 0.0, 90.0) * 10.0));
    rBearing.quality = static_cast<qint16>(std::lround(quality));
    if (m_bReducedData && rBearing.quality < WEAK_QUALITY)
        rBearing.quality = 0;
    return true;
}

bool SimulatedLegacyDriver::IsAccepted(double azimuth)
{
    const std::vector<Sector> sectors = AcceptedSectors();
    return std::any_of(sectors.begin(), sectors.end(), [azimuth](const Sector& sector) {
        return sector.first <= sector.second ? azimuth >= sector.first && azimuth < sector.second
                                             : azimuth >= sector.first || azimuth < sector.second;
    });
}

void SimulatedLegacyDriver::Command(QString text)
{
    if (m_pCallback != nullptr)
        m_pCallback->SetCommandLog(text);
}

void SimulatedLegacyDriver::SetLegacyCallback(ILegacyDriverCallback* pCallback)
{
    m_pCallback = pCallback;
}

// The station owns the driver directly; there is no module to return it to.
void SimulatedLegacyDriver::Release() {}

qint32 SimulatedLegacyDriver::Initialize(std::string& strParameters, bool bSimulation)
{
    Command(QStringLiteral("<?xml version=\"1.0\"?><Initialize simulation=\"%1\"><Parameters>%2</Parameters>"
                           "<Address>%3</Address></Initialize>")
                .arg(bSimulation ? 1 : 0)
                .arg(QString::fromStdString(strParameters).toHtmlEscaped(),
                     m_pCallback != nullptr ? m_pCallback->GetDevAddress().toHtmlEscaped() : QString()));
    return STATUS_OK;
}

void SimulatedLegacyDriver::GetGPSBuffer(GPSStruct&) {}
QString SimulatedLegacyDriver::GetLastError() { return QString(); }
void SimulatedLegacyDriver::ClearLastError() {}

qint32 SimulatedLegacyDriver::SetMode(EMode eMode)
{
    m_eMode = eMode;
    Command(QStringLiteral("MODE %1").arg(eMode == EMODE_SCAN ? QStringLiteral("SCAN") : QStringLiteral("FFM")));
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::Reset() { return STATUS_OK; }
qint32 SimulatedLegacyDriver::Calibrate(quint32) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::BIT(qint32& nResult, bool, bool)
{
    Command(QStringLiteral("*TST?"));
    nResult = 0;
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::SetTest(QString) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SetRfAttenuator(quint32, qint32) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::SetFrequency(double fFrequency)
{
    m_fFrequency = fFrequency;
    Command(QStringLiteral("FREQ %1 MHz").arg(MHz(fFrequency)));
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::SetGainControl(GainControlStruct) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SetFilterSettings(FilterSettingsStruct) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SetFilterSettings(FreqRangeDefinition*) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::SetAverageTime(double fAverageTime)
{
    m_fAverageTime = fAverageTime;
    Command(QStringLiteral("DF:AVER %1 s").arg(fAverageTime));
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::ResetAverage() { return STATUS_OK; }

qint32 SimulatedLegacyDriver::AddFreqRange(FreqRangeDefinition* pRange)
{
    if (pRange == nullptr)
        return STATUS_OK;
    m_lstScanRanges.emplace_back(pRange->GetStartFreq(), pRange->GetStopFreq());
    Command(QStringLiteral("<?xml version=\"1.0\"?><ScanRange name=\"%1\"><Start>%2</Start><Stop>%3</Stop>"
                           "<Step>%4</Step></ScanRange>")
                .arg(pRange->GetName().toHtmlEscaped())
                .arg(pRange->GetStartFreq(), 0, 'f', 0)
                .arg(pRange->GetStopFreq(), 0, 'f', 0)
                .arg(pRange->GetStepFreq(), 0, 'f', 0));
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::SetGPSTimeUsage(bool) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::GetGPSTimeUsage(bool& bUse)
{
    bUse = false;
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::SetAntennaSetup(AntennaSetupStruct) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SetConverterSetup(ConverterSetupStruct) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::ReadCompass(quint32, quint32&) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SetAudioVolume(qint32) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SetExternalReference(bool) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SetHoldTime(qint32, qint32, qint32) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SearchHold() { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SearchContinue(quint32) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::GetFrequency(double& fFrequency)
{
    fFrequency = m_fFrequency;
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::GetGainControl(GainControlStruct&) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::GetMeasureSettings(double& fFrequency, DFSettingsStruct&, DEMSettingsStruct&)
{
    fFrequency = m_fFrequency;
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::GetFilterSettings(FilterSettingsStruct&) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::GetAverageTime(double& fAverageTime)
{
    fAverageTime = m_fAverageTime;
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::GetAntennaProperty(quint32, AntennaPropertyStruct&, AntennaSubRangeStruct&, qint32&)
{
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::GetAntennaSetup(quint32, AntennaSetupStruct&) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::GetConverterProperty(quint32, ConverterSetupStruct&) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::GetConverterSetup(quint32, ConverterSetupStruct&) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::GetCompassProperty(quint32, CompassPropertyStruct&) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::AlterMeasureSetting(double, DFSettingsStruct, DEMSettingsStruct) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::AlterMeasureSetting(FreqRangeDefinition*) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::DeleteAllChannels()
{
    m_lstScanRanges.clear();
    Command(QStringLiteral("SCAN:DEL:ALL"));
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::SetSkip(qint32, qint32, bool) { return STATUS_OK; }
void SimulatedLegacyDriver::SetSimulationScan(quint32, quint32, quint32, qint32, qint32, quint32, ChannelRangeStruct*) {}
void SimulatedLegacyDriver::SetAudioFormat(qint32, qint32, qint32) {}

qint32 SimulatedLegacyDriver::GetMaxChannelCount(EMode)
{
    return static_cast<qint32>(m_lstScanRanges.size());
}

bool SimulatedLegacyDriver::StartDRData(bool, qint32) { return false; }
qint32 SimulatedLegacyDriver::SetSRNumOfEmitters(bool, qint32) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::SetScanAveraging(quint32) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::GetReadCount() { return 0; }
qint32 SimulatedLegacyDriver::GetBufferCount() { return 0; }
qint32 SimulatedLegacyDriver::RestartMassData() { return STATUS_OK; }

qint32 SimulatedLegacyDriver::RequestHWStatus(QList<ComponentInfo*>* pComponents)
{
    Command(QStringLiteral("SYST:COMP?"));
    if (pComponents == nullptr)
        return STATUS_OK;
    int serial = 4711;
    for (const QString& name : ComponentNames())
        pComponents->append(new ComponentInfo{name, QString::number(serial++), STATUS_OK});
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::GetSweepTime(qint32& nSweepTime)
{
    nSweepTime = 100;
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::SetSyncTimes(quint64&, qint32) { return STATUS_OK; }

qint32 SimulatedLegacyDriver::GetKVTTime(quint64& nTime)
{
    nTime = m_nTimeMs;
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::SetGSMSetting(double, FreqRangeDefinition*, GSMSettingsStruct&) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::FcbSynch() { return STATUS_OK; }
void SimulatedLegacyDriver::EnableTimeSync(bool) {}

qint32 SimulatedLegacyDriver::SendCompassCommand(quint32, const QString&, QString& strAnswer)
{
    strAnswer.clear();
    return STATUS_OK;
}

qint32 SimulatedLegacyDriver::SetCompassValue(quint32) { return STATUS_OK; }
qint32 SimulatedLegacyDriver::GetSyncMissedCount() const { return 0; }
qint32 SimulatedLegacyDriver::SetSyncTrigger(bool) { return STATUS_OK; }
