#include "devicecontrol/directionfinder/kvtcommon/freqrangedefinition.h"
#include "devicecontrol/directionfinder/kvtcommon/legacydriveradapter.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <type_traits>
#include <vector>

using namespace NxKVTCommon;

void PrintTo(const QString& value, std::ostream* pStream) { *pStream << value.toStdString(); }

// Driver modules are built separately and call operations by vtable position, so these tests check
// positions, not names: every recorded call is identified by the vtable slot of the operation
// that ran, read from its member-function pointer.

namespace
{

// Itanium C++ ABI: a pointer to a virtual member function holds 1 + the byte offset of its slot.
template <typename Signature, typename Class> std::ptrdiff_t SlotOf(Signature Class::*method)
{
    struct Representation
    {
        std::uintptr_t nPointer;
        std::ptrdiff_t nAdjustment;
    };
    static_assert(sizeof(method) == sizeof(Representation), "Itanium member pointer expected");
    Representation representation;
    std::memcpy(&representation, &method, sizeof representation);
    EXPECT_EQ(representation.nPointer % 2, 1u) << "not a virtual operation";
    return static_cast<std::ptrdiff_t>((representation.nPointer - 1) / sizeof(void*));
}

template <typename Signature> struct ResultOf;
template <typename R, typename... P> struct ResultOf<R(P...)>
{
    using Type = R;
};
template <typename R, typename... P> struct ResultOf<R(P...) const>
{
    using Type = R;
};

// Records are identified by the member each test sets to a distinctive value.
QString Text(const GainControlStruct& value) { return value.m_strDriverDefined1; }
QString Text(const FilterSettingsStruct& value) { return QString::number(value.m_nDriverDefined5); }
QString Text(const DFSettingsStruct& value) { return QString::number(value.m_nThreshold); }
QString Text(const DEMSettingsStruct& value) { return QString::number(value.m_fDriverDefined5); }
QString Text(const ConverterSetupStruct& value) { return value.m_strDriverDefined3; }
QString Text(const AntennaSetupStruct& value)
{
    QStringList entries;
    for (quint32 entry : value.m_lstDriverDefined8)
        entries << QString::number(entry);
    return entries.join('/');
}
QString Text(const QString& value) { return '"' + value + '"'; }
template <typename T> QString Text(const T& value)
{
    if constexpr (std::is_pointer<T>::value)
        return "@" + QString::number(reinterpret_cast<quintptr>(value), 16);
    else
        return QString::number(value);
}

template <typename... A> QString ArgsText(const A&... args) { return QStringList{Text(args)...}.join(", "); }

// References are identified by address (the very object must arrive), values by content.
template <typename P, typename A> QString Describe(A& argument)
{
    if constexpr (std::is_lvalue_reference<P>::value)
        return Text(static_cast<const void*>(&argument));
    else
        return Text(static_cast<std::decay_t<P>>(argument));
}

template <typename R> R ResultFor(std::ptrdiff_t nSlot)
{
    if constexpr (std::is_same<R, QString>::value)
        return QString("answer of slot %1").arg(nSlot);
    else if constexpr (std::is_same<R, bool>::value)
        return true;
    else
        return static_cast<R>(-1000 - nSlot); // negative status codes must arrive unchanged
}

template <typename F> QString ResultText(F call)
{
    if constexpr (std::is_void<decltype(call())>::value)
    {
        call();
        return QString();
    }
    else
        return Text(call());
}

// Notes the slot, arguments and result of the last call that reached it.
class Recorder
{
public:
    mutable std::ptrdiff_t m_nSlot = -1;
    mutable QString m_strArgs;
    mutable QString m_strResult;

protected:
    template <typename Signature, typename Class, typename... A>
    typename ResultOf<Signature>::Type Hit(Signature Class::*method, const A&... args) const
    {
        using R = typename ResultOf<Signature>::Type;
        m_nSlot = SlotOf(method);
        m_strArgs = ArgsText(args...);
        if constexpr (std::is_void<R>::value)
            m_strResult.clear();
        else
        {
            const R result = ResultFor<R>(m_nSlot);
            m_strResult = Text(result);
            return result;
        }
    }
};

using L = ILegacyDriver;
class RecordingLegacyDriver : public ILegacyDriver, public Recorder
{
public:
    void SetLegacyCallback(ILegacyDriverCallback* p) override { Hit(&L::SetLegacyCallback, p); }
    void Release() override { Hit(&L::Release); }
    qint32 Initialize(std::string& s, bool b) override { return Hit(&L::Initialize, &s, b); }
    void GetGPSBuffer(GPSStruct& g) override { Hit(&L::GetGPSBuffer, &g); }
    QString GetLastError() override { return Hit(&L::GetLastError); }
    void ClearLastError() override { Hit(&L::ClearLastError); }
    qint32 SetMode(EMode e) override { return Hit(&L::SetMode, e); }
    qint32 Reset() override { return Hit(&L::Reset); }
    qint32 Calibrate(quint32 n) override { return Hit(&L::Calibrate, n); }
    qint32 BIT(qint32& n, bool b1, bool b2) override { return Hit(&L::BIT, &n, b1, b2); }
    qint32 SetTest(QString s) override { return Hit(&L::SetTest, s); }
    qint32 SetRfAttenuator(quint32 n1, qint32 n2) override { return Hit(&L::SetRfAttenuator, n1, n2); }
    qint32 SetFrequency(double f) override { return Hit(&L::SetFrequency, f); }
    qint32 SetGainControl(GainControlStruct g) override { return Hit(&L::SetGainControl, g); }
    qint32 SetFilterSettings(FilterSettingsStruct s) override
    {
        return Hit<qint32(FilterSettingsStruct)>(&L::SetFilterSettings, s);
    }
    qint32 SetFilterSettings(FreqRangeDefinition* p) override
    {
        return Hit<qint32(FreqRangeDefinition*)>(&L::SetFilterSettings, p);
    }
    qint32 SetAverageTime(double f) override { return Hit(&L::SetAverageTime, f); }
    qint32 ResetAverage() override { return Hit(&L::ResetAverage); }
    qint32 AddFreqRange(FreqRangeDefinition* p) override { return Hit(&L::AddFreqRange, p); }
    qint32 SetGPSTimeUsage(bool b) override { return Hit(&L::SetGPSTimeUsage, b); }
    qint32 GetGPSTimeUsage(bool& b) override { return Hit(&L::GetGPSTimeUsage, &b); }
    qint32 SetAntennaSetup(AntennaSetupStruct a) override
    {
        const qint32 nResult = Hit(&L::SetAntennaSetup, a);
        a.m_lstDriverDefined8.front() = 0; // must not reach the caller's record
        a.m_lstDriverDefined8.push_back(99);
        return nResult;
    }
    qint32 SetConverterSetup(ConverterSetupStruct c) override { return Hit(&L::SetConverterSetup, c); }
    qint32 ReadCompass(quint32 n1, quint32& n2) override { return Hit(&L::ReadCompass, n1, &n2); }
    qint32 SetAudioVolume(qint32 n) override { return Hit(&L::SetAudioVolume, n); }
    qint32 SetExternalReference(bool b) override { return Hit(&L::SetExternalReference, b); }
    qint32 SetHoldTime(qint32 n1, qint32 n2, qint32 n3) override { return Hit(&L::SetHoldTime, n1, n2, n3); }
    qint32 SearchHold() override { return Hit(&L::SearchHold); }
    qint32 SearchContinue(quint32 n) override { return Hit(&L::SearchContinue, n); }
    void ReservedOperation29() override { Hit(&L::ReservedOperation29); }
    qint32 GetFrequency(double& f) override { return Hit(&L::GetFrequency, &f); }
    qint32 GetGainControl(GainControlStruct& g) override { return Hit(&L::GetGainControl, &g); }
    qint32 GetMeasureSettings(double& f, DFSettingsStruct& d, DEMSettingsStruct& m) override
    {
        return Hit(&L::GetMeasureSettings, &f, &d, &m);
    }
    qint32 GetFilterSettings(FilterSettingsStruct& s) override { return Hit(&L::GetFilterSettings, &s); }
    qint32 GetAverageTime(double& f) override { return Hit(&L::GetAverageTime, &f); }
    qint32 GetAntennaProperty(quint32 n, AntennaPropertyStruct& p, AntennaSubRangeStruct& s, qint32& i) override
    {
        return Hit(&L::GetAntennaProperty, n, &p, &s, &i);
    }
    qint32 GetAntennaSetup(quint32 n, AntennaSetupStruct& a) override { return Hit(&L::GetAntennaSetup, n, &a); }
    qint32 GetConverterProperty(quint32 n, ConverterSetupStruct& c) override
    {
        return Hit(&L::GetConverterProperty, n, &c);
    }
    qint32 GetConverterSetup(quint32 n, ConverterSetupStruct& c) override { return Hit(&L::GetConverterSetup, n, &c); }
    qint32 GetCompassProperty(quint32 n, CompassPropertyStruct& c) override
    {
        return Hit(&L::GetCompassProperty, n, &c);
    }
    qint32 AlterMeasureSetting(double f, DFSettingsStruct d, DEMSettingsStruct m) override
    {
        return Hit<qint32(double, DFSettingsStruct, DEMSettingsStruct)>(&L::AlterMeasureSetting, f, d, m);
    }
    qint32 AlterMeasureSetting(FreqRangeDefinition* p) override
    {
        return Hit<qint32(FreqRangeDefinition*)>(&L::AlterMeasureSetting, p);
    }
    qint32 DeleteAllChannels() override { return Hit(&L::DeleteAllChannels); }
    qint32 SetSkip(qint32 n1, qint32 n2, bool b) override { return Hit(&L::SetSkip, n1, n2, b); }
    void SetSimulationScan(quint32 n1, quint32 n2, quint32 n3, qint32 n4, qint32 n5, quint32 n6,
                           ChannelRangeStruct* p) override
    {
        Hit(&L::SetSimulationScan, n1, n2, n3, n4, n5, n6, p);
    }
    void SetAudioFormat(qint32 n1, qint32 n2, qint32 n3) override { Hit(&L::SetAudioFormat, n1, n2, n3); }
    qint32 GetMaxChannelCount(EMode e) override { return Hit(&L::GetMaxChannelCount, e); }
    bool StartDRData(bool b, qint32 n) override { return Hit(&L::StartDRData, b, n); }
    qint32 SetSRNumOfEmitters(bool b, qint32 n) override { return Hit(&L::SetSRNumOfEmitters, b, n); }
    qint32 SetScanAveraging(quint32 n) override { return Hit(&L::SetScanAveraging, n); }
    qint32 GetReadCount() override { return Hit(&L::GetReadCount); }
    qint32 GetBufferCount() override { return Hit(&L::GetBufferCount); }
    qint32 RestartMassData() override { return Hit(&L::RestartMassData); }
    qint32 RequestHWStatus(QList<ComponentInfo*>* p) override { return Hit(&L::RequestHWStatus, p); }
    qint32 GetSweepTime(qint32& n) override { return Hit(&L::GetSweepTime, &n); }
    qint32 SetSyncTimes(quint64& t, qint32 n) override { return Hit(&L::SetSyncTimes, &t, n); }
    qint32 GetKVTTime(quint64& t) override { return Hit(&L::GetKVTTime, &t); }
    qint32 SetGSMSetting(double f, FreqRangeDefinition* p, GSMSettingsStruct& g) override
    {
        return Hit(&L::SetGSMSetting, f, p, &g);
    }
    qint32 FcbSynch() override { return Hit(&L::FcbSynch); }
    void EnableTimeSync(bool b) override { Hit(&L::EnableTimeSync, b); }
    qint32 SendCompassCommand(quint32 n, const QString& s1, QString& s2) override
    {
        return Hit(&L::SendCompassCommand, n, &s1, &s2);
    }
    qint32 SetCompassValue(quint32 n) override { return Hit(&L::SetCompassValue, n); }
    qint32 GetSyncMissedCount() const override { return Hit(&L::GetSyncMissedCount); }
    qint32 SetSyncTrigger(bool b) override { return Hit(&L::SetSyncTrigger, b); }
};

using C = ILegacyDriverCallback;
class RecordingCallback : public IDriverCallback, public Recorder
{
public:
    void fillTDMABuffer(qint32 n1, quint64& t, quint32 n2, quint32 n3, values::Bearing* p, StatusStruct& s) override
    {
        Hit(&C::fillTDMABuffer, n1, &t, n2, n3, p, &s);
    }
    void fillScanBuffer(qint32 n1, quint64& t, quint32 n2, quint32 n3, values::Bearing* p, StatusStruct& s) override
    {
        Hit(&C::fillScanBuffer, n1, &t, n2, n3, p, &s);
    }
    void fillFFMBuffer(const FFMData& d, StatusStruct& s, bool b) override { Hit(&C::fillFFMBuffer, &d, &s, b); }
    void fillFFMSRBuffer(SuperResolutionStruct& d, StatusStruct& s) override { Hit(&C::fillFFMSRBuffer, &d, &s); }
    void fillSpectrumBuffer(const qint16* p, qint32 n) override { Hit(&C::fillSpectrumBuffer, p, n); }
    void fillSRSpectrumBuffer(qint16* p, qint32 n, quint64& t) override { Hit(&C::fillSRSpectrumBuffer, p, n, &t); }
    void fillTestValuesBuffer(double* p, quint16 n) override { Hit(&C::fillTestValuesBuffer, p, n); }
    void fillAudioBuffer(void* p, quint32 n) override { Hit(&C::fillAudioBuffer, p, n); }
    void fillAudioBufferTime(void* p, quint32 n) override { Hit(&C::fillAudioBufferTime, p, n); }
    void fillAudioFormat(void* p, quint32 n) override { Hit(&C::fillAudioFormat, p, n); }
    void fillAudioLevel(double f) override { Hit(&C::fillAudioLevel, f); }
    void fillGPSData(double f1, double f2, quint64 t, bool b, qint32 n1, qint32 n2) override
    {
        Hit(&C::fillGPSData, f1, f2, t, b, n1, n2);
    }
    void reportError(ErrorStruct& e) override { Hit(&C::reportError, &e); }
    void InitSimulation(INITStruct& i, quint32 n, ChannelRangeStruct* p) override { Hit(&C::InitSimulation, &i, n, p); }
    void setSearchFrequency(double f) override { Hit(&C::setSearchFrequency, f); }
    void getOperateMode(EMode& e) override { Hit(&C::getOperateMode, &e); }
    void ReportBITResult(ErrorStruct& e) override { Hit(&C::ReportBITResult, &e); }
    void SetCommandLog(QString& s) override { Hit(&C::SetCommandLog, &s); }
    QString GetDevAddress() override { return Hit(&C::GetDevAddress); }
    void CloseDataLink() override { Hit(&C::CloseDataLink); }
    void SetEndOfScan(bool b) override { Hit(&C::SetEndOfScan, b); }
    void fillSyncTimestamp(qint64 t) override { Hit(&C::fillSyncTimestamp, t); }
};

// Every argument of the calls below, with distinctive values so that a swapped or lost argument shows.
struct Arguments
{
    Arguments()
    {
        gain.m_strDriverDefined1 = "gain";
        filter.m_nDriverDefined5 = 55;
        antenna.m_lstDriverDefined8 = {1, 2, 3};
        converter.m_strDriverDefined3 = "converter";
        df.m_nThreshold = 42;
        dem.m_fDriverDefined5 = 2.5;
    }

    std::string strParameters = "COM3";
    bool bTrue = true, bFalse = false;
    qint32 nA = 7, nB = -8, nC = 9;
    quint32 uA = 11, uB = 12, uC = 13;
    double fA = 1.5, fB = -2.25;
    quint64 nTime = 1234567890123ull;
    qint64 nSignedTime = -5;
    quint16 nCount16 = 2;
    EMode eMode = EMODE_SCAN;
    QString strText = "text", strAnswer = "answer";
    GainControlStruct gain;
    FilterSettingsStruct filter;
    AntennaSetupStruct antenna;
    ConverterSetupStruct converter;
    DFSettingsStruct df;
    DEMSettingsStruct dem;
    // Records that only pass through are told apart by address.
    FreqRangeDefinition range;
    GPSStruct gps;
    AntennaPropertyStruct antennaProperty;
    AntennaSubRangeStruct antennaSubRange;
    CompassPropertyStruct compassProperty;
    ChannelRangeStruct channels;
    QList<ComponentInfo*> components;
    GSMSettingsStruct gsm;
    StatusStruct status;
    FFMData ffm;
    SuperResolutionStruct superResolution;
    ErrorStruct error;
    INITStruct init;
    values::Bearing bearings[2] = {};
    qint16 spectrum[4] = {};
    double testValues[2] = {};
    char audio[4] = {};
    FreqRangeDefinition* pRange = &range;
    ChannelRangeStruct* pChannels = &channels;
    QList<ComponentInfo*>* pComponents = &components;
    values::Bearing* pBearings = bearings;
    qint16* pSpectrum = spectrum;
    double* pTestValues = testValues;
    void* pAudio = audio;
};

// One call through an interface: the slot it occupies there, the legacy slot it must reach, the
// arguments as the receiver must see them, and the call itself (returning its result as text).
template <typename Interface> struct Row
{
    std::ptrdiff_t nSlot;
    std::ptrdiff_t nTargetSlot;
    QString strArgs;
    std::function<QString(Interface&)> call;
};

template <typename Signature, typename Interface> struct RowMaker;
template <typename R, typename... P, typename Interface> struct RowMaker<R(P...), Interface>
{
    template <typename... A>
    static Row<Interface> Make(std::ptrdiff_t nSlot, std::ptrdiff_t nTargetSlot, R (Interface::*method)(P...),
                               A&... args)
    {
        return {nSlot, nTargetSlot, QStringList{Describe<P>(args)...}.join(", "),
                [method, &args...](Interface& target)
                { return ResultText([&] { return (target.*method)(args...); }); }};
    }
};

// Signature given explicitly for overloaded names.
template <typename Signature, typename Interface, typename... A>
Row<Interface> MakeRowOf(std::ptrdiff_t nTargetSlot, Signature Interface::*method, A&... args)
{
    return RowMaker<Signature, Interface>::Make(SlotOf(method), nTargetSlot, method, args...);
}

std::vector<Row<IDriver>> DriverRows(Arguments& a)
{
    using I = IDriver;
    return {
        MakeRowOf(2, &I::Initialize, a.strParameters, a.bTrue),
        MakeRowOf(3, &I::GetGPSBuffer, a.gps),
        MakeRowOf(4, &I::GetLastError),
        MakeRowOf(5, &I::ClearLastError),
        MakeRowOf(6, &I::SetMode, a.eMode),
        MakeRowOf(7, &I::Reset),
        MakeRowOf(8, &I::Calibrate, a.uA),
        MakeRowOf(9, &I::BIT, a.nA, a.bTrue, a.bFalse),
        MakeRowOf(10, &I::SetTest, a.strText),
        MakeRowOf(11, &I::SetRfAttenuator, a.uA, a.nB),
        MakeRowOf(12, &I::SetFrequency, a.fA),
        MakeRowOf(13, &I::SetGainControl, a.gain),
        MakeRowOf<qint32(FilterSettingsStruct)>(14, &I::SetFilterSettings, a.filter),
        MakeRowOf<qint32(FreqRangeDefinition*)>(15, &I::SetFilterSettings, a.pRange),
        MakeRowOf(16, &I::SetAverageTime, a.fB),
        MakeRowOf(17, &I::ResetAverage),
        MakeRowOf(18, &I::AddFreqRange, a.pRange),
        MakeRowOf(19, &I::SetGPSTimeUsage, a.bTrue),
        MakeRowOf(20, &I::GetGPSTimeUsage, a.bFalse),
        MakeRowOf(21, &I::SetAntennaSetup, a.antenna),
        MakeRowOf(22, &I::SetConverterSetup, a.converter),
        MakeRowOf(23, &I::ReadCompass, a.uA, a.uB),
        MakeRowOf(24, &I::SetAudioVolume, a.nB),
        MakeRowOf(25, &I::SetExternalReference, a.bTrue),
        MakeRowOf(26, &I::SetHoldTime, a.nA, a.nB, a.nC),
        MakeRowOf(27, &I::SearchHold),
        MakeRowOf(28, &I::SearchContinue, a.uC),
        MakeRowOf(30, &I::GetFrequency, a.fA),
        MakeRowOf(31, &I::GetGainControl, a.gain),
        MakeRowOf(32, &I::GetMeasureSettings, a.fA, a.df, a.dem),
        MakeRowOf(33, &I::GetFilterSettings, a.filter),
        MakeRowOf(34, &I::GetAverageTime, a.fB),
        MakeRowOf(35, &I::GetAntennaProperty, a.uA, a.antennaProperty, a.antennaSubRange, a.nC),
        MakeRowOf(36, &I::GetAntennaSetup, a.uB, a.antenna),
        MakeRowOf(37, &I::GetConverterProperty, a.uC, a.converter),
        MakeRowOf(38, &I::GetConverterSetup, a.uA, a.converter),
        MakeRowOf(39, &I::GetCompassProperty, a.uB, a.compassProperty),
        MakeRowOf<qint32(double, DFSettingsStruct, DEMSettingsStruct)>(40, &I::AlterMeasureSetting, a.fB, a.df, a.dem),
        MakeRowOf<qint32(FreqRangeDefinition*)>(41, &I::AlterMeasureSetting, a.pRange),
        MakeRowOf(42, &I::DeleteAllChannels),
        MakeRowOf(43, &I::SetSkip, a.nC, a.nB, a.bTrue),
        MakeRowOf(44, &I::SetSimulationScan, a.uA, a.uB, a.uC, a.nA, a.nB, a.uA, a.pChannels),
        MakeRowOf(45, &I::SetAudioFormat, a.nC, a.nB, a.nA),
        MakeRowOf(46, &I::GetMaxChannelCount, a.eMode),
        MakeRowOf(47, &I::StartDRData, a.bTrue, a.nB),
        MakeRowOf(48, &I::SetSRNumOfEmitters, a.bFalse, a.nC),
        MakeRowOf(49, &I::SetScanAveraging, a.uB),
        MakeRowOf(50, &I::GetReadCount),
        MakeRowOf(51, &I::GetBufferCount),
        MakeRowOf(52, &I::RestartMassData),
        MakeRowOf(53, &I::RequestHWStatus, a.pComponents),
        MakeRowOf(54, &I::GetSweepTime, a.nA),
        MakeRowOf(55, &I::SetSyncTimes, a.nTime, a.nB),
        MakeRowOf(56, &I::GetKVTTime, a.nTime),
        MakeRowOf(57, &I::SetGSMSetting, a.fA, a.pRange, a.gsm),
        MakeRowOf(58, &I::FcbSynch),
        MakeRowOf(59, &I::EnableTimeSync, a.bFalse),
        MakeRowOf(60, &I::SendCompassCommand, a.uC, a.strText, a.strAnswer),
        MakeRowOf(63, &I::SetSyncTrigger, a.bTrue),
        MakeRowOf(61, &I::SetCompassValue, a.uB),
        // The only const operation; its row is written out.
        {SlotOf(&I::GetSyncMissedCount), 62, QString(),
         [](IDriver& driver) { return Text(driver.GetSyncMissedCount()); }},
    };
}

std::vector<Row<ILegacyDriverCallback>> CallbackRows(Arguments& a)
{
    return {
        MakeRowOf(0, &C::fillTDMABuffer, a.nA, a.nTime, a.uA, a.uB, a.pBearings, a.status),
        MakeRowOf(1, &C::fillScanBuffer, a.nB, a.nTime, a.uC, a.uA, a.pBearings, a.status),
        MakeRowOf(2, &C::fillFFMBuffer, a.ffm, a.status, a.bTrue),
        MakeRowOf(3, &C::fillFFMSRBuffer, a.superResolution, a.status),
        MakeRowOf(4, &C::fillSpectrumBuffer, a.pSpectrum, a.nC),
        MakeRowOf(5, &C::fillSRSpectrumBuffer, a.pSpectrum, a.nA, a.nTime),
        MakeRowOf(6, &C::fillTestValuesBuffer, a.pTestValues, a.nCount16),
        MakeRowOf(7, &C::fillAudioBuffer, a.pAudio, a.uA),
        MakeRowOf(8, &C::fillAudioBufferTime, a.pAudio, a.uB),
        MakeRowOf(9, &C::fillAudioFormat, a.pAudio, a.uC),
        MakeRowOf(10, &C::fillAudioLevel, a.fB),
        MakeRowOf(11, &C::fillGPSData, a.fA, a.fB, a.nTime, a.bTrue, a.nA, a.nC),
        MakeRowOf(12, &C::reportError, a.error),
        MakeRowOf(13, &C::InitSimulation, a.init, a.uA, a.pChannels),
        MakeRowOf(14, &C::setSearchFrequency, a.fA),
        MakeRowOf(15, &C::getOperateMode, a.eMode),
        MakeRowOf(16, &C::ReportBITResult, a.error),
        MakeRowOf(17, &C::SetCommandLog, a.strText),
        MakeRowOf(18, &C::GetDevAddress),
        MakeRowOf(19, &C::CloseDataLink),
        MakeRowOf(20, &C::SetEndOfScan, a.bTrue),
        MakeRowOf(21, &C::fillSyncTimestamp, a.nSignedTime),
    };
}

class LegacyDriverAdapterTest : public ::testing::Test
{
protected:
    LegacyDriverAdapterTest()
    {
        m_adapter.SetLegacyDriver(&m_legacyDriver);
        AsDriver().SetCallback(&m_callback);
    }

    IDriver& AsDriver() { return m_adapter; }
    ILegacyDriverCallback& AsCallback() { return m_adapter; }

    template <typename Interface>
    void ExpectForwarded(const std::vector<Row<Interface>>& rows, Interface& caller, const Recorder& target)
    {
        for (const Row<Interface>& row : rows)
        {
            SCOPED_TRACE(row.nTargetSlot);
            target.m_nSlot = -1;
            const QString strResult = row.call(caller);
            EXPECT_EQ(target.m_nSlot, row.nTargetSlot);
            EXPECT_EQ(target.m_strArgs, row.strArgs);
            EXPECT_EQ(strResult, target.m_strResult);
        }
    }

    Arguments m_arguments;
    RecordingLegacyDriver m_legacyDriver;
    RecordingCallback m_callback;
    LegacyDriverAdapter m_adapter;
};

} // namespace

TEST_F(LegacyDriverAdapterTest, DriverOperationsHoldTheirSlots)
{
    const std::ptrdiff_t nFirst = SlotOf(&IDriver::SetCallback);
    const std::vector<Row<IDriver>> rows = DriverRows(m_arguments);
    ASSERT_EQ(rows.size(), 61u);
    // IDriver numbers its operations from 1, equal to the legacy slot except in the reordered tail.
    const std::map<std::ptrdiff_t, std::ptrdiff_t> tail = {{61, 62}, {62, 63}, {63, 61}};
    for (const Row<IDriver>& row : rows)
        EXPECT_EQ(row.nSlot - nFirst + 1, tail.count(row.nTargetSlot) ? tail.at(row.nTargetSlot) : row.nTargetSlot)
            << "legacy slot " << row.nTargetSlot;
    EXPECT_EQ(SlotOf(&IDriver::ReservedOperation29) - nFirst + 1, 29);
    EXPECT_EQ(SlotOf(&IDriver::ReservedOperation64) - nFirst + 1, 64);
    EXPECT_EQ(SlotOf(&ILegacyDriver::SetLegacyCallback), 0);
    EXPECT_EQ(SlotOf(&ILegacyDriver::Release), 1);
    EXPECT_EQ(SlotOf(&ILegacyDriver::ReservedOperation29), 29);
    for (const Row<ILegacyDriverCallback>& row : CallbackRows(m_arguments))
        EXPECT_EQ(row.nSlot, row.nTargetSlot);
}

TEST_F(LegacyDriverAdapterTest, ForwardsEveryOperationToItsLegacySlotUnchanged)
{
    ExpectForwarded(DriverRows(m_arguments), AsDriver(), m_legacyDriver);
    ExpectForwarded(CallbackRows(m_arguments), AsCallback(), m_callback);
}

TEST_F(LegacyDriverAdapterTest, ReorderedTailReachesTheLegacySlots)
{
    AsDriver().SetSyncTrigger(true);
    EXPECT_EQ(m_legacyDriver.m_nSlot, 63);
    AsDriver().SendCompassCommand(1, m_arguments.strText, m_arguments.strAnswer);
    const std::ptrdiff_t nSendCompassSlot = m_legacyDriver.m_nSlot;
    AsDriver().SetCompassValue(1);
    EXPECT_EQ(m_legacyDriver.m_nSlot, nSendCompassSlot + 1);
}

TEST_F(LegacyDriverAdapterTest, AntennaSetupReachesTheDriverAsADeepCopy)
{
    EXPECT_EQ(AsDriver().SetAntennaSetup(m_arguments.antenna), -1000 - 21);
    EXPECT_EQ(m_legacyDriver.m_strArgs, "1/2/3");
    EXPECT_EQ(m_arguments.antenna.m_lstDriverDefined8, (std::list<quint32>{1, 2, 3}));
}

TEST_F(LegacyDriverAdapterTest, WithoutTargetsCallsDoNothingAndStatusCallsReportNotConnected)
{
    LegacyDriverAdapter unconnected;
    IDriver& driver = unconnected;
    for (const Row<IDriver>& row : DriverRows(m_arguments))
        row.call(driver);
    for (const Row<ILegacyDriverCallback>& row : CallbackRows(m_arguments))
        row.call(unconnected);
    EXPECT_EQ(driver.Reset(), LegacyDriverAdapter::STATUS_NOT_CONNECTED);
    EXPECT_FALSE(driver.StartDRData(true, 1));
    EXPECT_TRUE(static_cast<ILegacyDriverCallback&>(unconnected).GetDevAddress().isEmpty());
    EXPECT_EQ(m_legacyDriver.m_nSlot, -1);
    EXPECT_EQ(m_callback.m_nSlot, -1);
}

TEST_F(LegacyDriverAdapterTest, OptionalDriverOperationsHaveTheirDefaults)
{
    IDriver& driver = AsDriver();
    EXPECT_FALSE(driver.IDriver::StartDRData(true, 1));
    EXPECT_EQ(driver.IDriver::GetBufferCount(), 0);
    EXPECT_EQ(driver.IDriver::RestartMassData(), 0);
    EXPECT_EQ(driver.IDriver::SetSyncTrigger(true), -1);
    EXPECT_EQ(driver.IDriver::GetSyncMissedCount(), -1);
    driver.ReservedOperation29();
    driver.ReservedOperation64();
    driver.IDriver::SetAudioFormat(1, 2, 3);
    EXPECT_EQ(m_legacyDriver.m_nSlot, -1);
}
