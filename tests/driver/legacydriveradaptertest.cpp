#include "devicecontrol/directionfinder/kvtcommon/freqrangedefinition.h"
#include "devicecontrol/directionfinder/kvtcommon/legacydriveradapter.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cstring>
#include <functional>
#include <map>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

using namespace NxKVTCommon;

void PrintTo(const QString& value, std::ostream* pStream) { *pStream << value.toStdString(); }

// Driver modules are built separately and call operations by vtable position, so these tests check
// positions, not names: every recorded call is identified by the vtable slot of the operation
// that ran, read from its member-function pointer.

namespace
{

// Itanium C++ ABI: a pointer to a virtual member function holds 1 + the byte offset of its slot,
// then an adjustment of the object pointer.
template <typename Signature, typename Class> std::ptrdiff_t SlotOf(Signature Class::*method)
{
    quintptr anWords[2];
    static_assert(sizeof(method) == sizeof(anWords), "Itanium member pointer expected");
    std::memcpy(anWords, &method, sizeof anWords);
    EXPECT_EQ(anWords[0] % 2, 1u) << "not a virtual operation";
    return static_cast<std::ptrdiff_t>((anWords[0] - 1) / sizeof(void*));
}

// Records are told apart by one member each.
QString& Key(GainControlStruct& value) { return value.m_strDriverDefined1; }
qint32& Key(FilterSettingsStruct& value) { return value.m_nDriverDefined5; }
qint32& Key(DFSettingsStruct& value) { return value.m_nThreshold; }
double& Key(DEMSettingsStruct& value) { return value.m_fDriverDefined5; }
QString& Key(ConverterSetupStruct& value) { return value.m_strDriverDefined3; }
std::list<quint32>& Key(AntennaSetupStruct& value) { return value.m_lstDriverDefined8; }
template <typename T, typename = void> struct HasKey : std::false_type {};
template <typename T> struct HasKey<T, std::void_t<decltype(Key(std::declval<T&>()))>> : std::true_type {};

template <typename T> QString Text(const T& value)
{
    if constexpr (HasKey<T>::value)
        return Text(Key(const_cast<T&>(value)));
    else if constexpr (std::is_same<T, std::list<quint32>>::value)
        return QString("%1 entries from %2").arg(value.size()).arg(value.empty() ? 0 : value.front());
    else if constexpr (std::is_same<T, QString>::value)
        return '"' + value + '"';
    else if constexpr (std::is_pointer<T>::value)
        return "@" + QString::number(reinterpret_cast<quintptr>(value), 16);
    else
        return QString::number(value);
}

// Argument number nIndex of a call, unlike the call's other arguments so that a swapped or lost one
// shows. Pointers point to real objects in case the adapter looks at them.
template <typename T> T Sample(int nIndex)
{
    if constexpr (std::is_void<T>::value)
        return;
    else if constexpr (HasKey<T>::value)
    {
        T value;
        Key(value) = Sample<std::decay_t<decltype(Key(value))>>(nIndex);
        return value;
    }
    else if constexpr (std::is_pointer<T>::value)
    {
        using Pointee = std::remove_const_t<std::remove_pointer_t<T>>;
        static std::conditional_t<std::is_void<Pointee>::value, char, Pointee> s_aObjects[8];
        return &s_aObjects[nIndex];
    }
    else if constexpr (std::is_same<T, bool>::value)
        return nIndex % 2 == 0;
    else if constexpr (std::is_same<T, EMode>::value)
        return EMODE_SCAN;
    else if constexpr (std::is_arithmetic<T>::value)
        return static_cast<T>(std::is_signed<T>::value ? -7.0 * nIndex - 3.5 : 7.0 * nIndex + 3.5);
    else if constexpr (std::is_same<T, QString>::value)
        return QString("text %1").arg(nIndex);
    else if constexpr (std::is_same<T, std::list<quint32>>::value)
        return {quint32(nIndex), 20, 30};
    else
        return T();
}

// References are identified by address (the very object must arrive), values by content.
template <typename P, typename A> QString DescribeArgument(A& argument)
{
    if constexpr (std::is_reference<P>::value)
        return Text(static_cast<const void*>(&argument));
    else
        return Text(static_cast<P>(argument));
}

template <typename Signature> struct Call;
template <typename R, typename... P> struct Call<R(P...)>
{
    static constexpr std::size_t nCount = sizeof...(P);
    template <std::size_t... I> static std::tuple<std::decay_t<P>...> Samples(std::index_sequence<I...>)
    {
        return std::tuple<std::decay_t<P>...>{Sample<std::decay_t<P>>(I)...};
    }
    template <typename... A> static QString Describe(A&... args)
    {
        return QStringList{DescribeArgument<P>(args)...}.join(", ");
    }
    // What the receiver in the given slot answers: true, negative status codes.
    static R Answer(std::ptrdiff_t nSlot) { return Sample<R>(static_cast<int>(2 * nSlot)); }
    template <typename F> static QString TextOf(F call)
    {
        if constexpr (std::is_void<R>::value)
            return call(), QString();
        else
            return Text(call());
    }
};
template <typename R, typename... P> struct Call<R(P...) const> : Call<R(P...)> {};

// Notes the slot and arguments of the last call that reached it.
struct Recorder
{
    mutable std::ptrdiff_t m_nSlot = -1;
    mutable QString m_strArgs;

    // Notes the slot of the operation that ran; the returned function takes its arguments.
    template <typename Signature, typename Class> auto Hit(Signature Class::*method) const
    {
        m_nSlot = SlotOf(method);
        return [this](auto&... args)
        {
            m_strArgs = Call<Signature>::Describe(args...);
            return Call<Signature>::Answer(m_nSlot);
        };
    }
};

// Every forwarded operation as (legacy slot it must reach, result, name, parameters, arguments).
// The tail is reordered: SetCompassValue follows SendCompassCommand, SetSyncTrigger takes the last slot.
#define DRIVER_OPERATIONS(X)                                                                                           \
    X(2, qint32, Initialize, (std::string& a, bool b), (a, b))                                                         \
    X(3, void, GetGPSBuffer, (GPSStruct& a), (a))                                                                      \
    X(4, QString, GetLastError, (), ())                                                                                \
    X(5, void, ClearLastError, (), ())                                                                                 \
    X(6, qint32, SetMode, (EMode a), (a))                                                                              \
    X(7, qint32, Reset, (), ())                                                                                        \
    X(8, qint32, Calibrate, (quint32 a), (a))                                                                          \
    X(9, qint32, BIT, (qint32& a, bool b, bool c), (a, b, c))                                                          \
    X(10, qint32, SetTest, (QString a), (a))                                                                           \
    X(11, qint32, SetRfAttenuator, (quint32 a, qint32 b), (a, b))                                                      \
    X(12, qint32, SetFrequency, (double a), (a))                                                                       \
    X(13, qint32, SetGainControl, (GainControlStruct a), (a))                                                          \
    X(14, qint32, SetFilterSettings, (FilterSettingsStruct a), (a))                                                    \
    X(15, qint32, SetFilterSettings, (FreqRangeDefinition* a), (a))                                                    \
    X(16, qint32, SetAverageTime, (double a), (a))                                                                     \
    X(17, qint32, ResetAverage, (), ())                                                                                \
    X(18, qint32, AddFreqRange, (FreqRangeDefinition* a), (a))                                                         \
    X(19, qint32, SetGPSTimeUsage, (bool a), (a))                                                                      \
    X(20, qint32, GetGPSTimeUsage, (bool& a), (a))                                                                     \
    X(21, qint32, SetAntennaSetup, (AntennaSetupStruct a), (a))                                                        \
    X(22, qint32, SetConverterSetup, (ConverterSetupStruct a), (a))                                                    \
    X(23, qint32, ReadCompass, (quint32 a, quint32& b), (a, b))                                                        \
    X(24, qint32, SetAudioVolume, (qint32 a), (a))                                                                     \
    X(25, qint32, SetExternalReference, (bool a), (a))                                                                 \
    X(26, qint32, SetHoldTime, (qint32 a, qint32 b, qint32 c), (a, b, c))                                              \
    X(27, qint32, SearchHold, (), ())                                                                                  \
    X(28, qint32, SearchContinue, (quint32 a), (a))                                                                    \
    X(30, qint32, GetFrequency, (double& a), (a))                                                                      \
    X(31, qint32, GetGainControl, (GainControlStruct& a), (a))                                                         \
    X(32, qint32, GetMeasureSettings, (double& a, DFSettingsStruct& b, DEMSettingsStruct& c), (a, b, c))               \
    X(33, qint32, GetFilterSettings, (FilterSettingsStruct& a), (a))                                                   \
    X(34, qint32, GetAverageTime, (double& a), (a))                                                                    \
    X(35, qint32, GetAntennaProperty, (quint32 a, AntennaPropertyStruct& b, AntennaSubRangeStruct& c, qint32& d),      \
      (a, b, c, d))                                                                                                    \
    X(36, qint32, GetAntennaSetup, (quint32 a, AntennaSetupStruct& b), (a, b))                                         \
    X(37, qint32, GetConverterProperty, (quint32 a, ConverterSetupStruct& b), (a, b))                                  \
    X(38, qint32, GetConverterSetup, (quint32 a, ConverterSetupStruct& b), (a, b))                                     \
    X(39, qint32, GetCompassProperty, (quint32 a, CompassPropertyStruct& b), (a, b))                                   \
    X(40, qint32, AlterMeasureSetting, (double a, DFSettingsStruct b, DEMSettingsStruct c), (a, b, c))                 \
    X(41, qint32, AlterMeasureSetting, (FreqRangeDefinition* a), (a))                                                  \
    X(42, qint32, DeleteAllChannels, (), ())                                                                           \
    X(43, qint32, SetSkip, (qint32 a, qint32 b, bool c), (a, b, c))                                                    \
    X(44, void, SetSimulationScan,                                                                                     \
      (quint32 a, quint32 b, quint32 c, qint32 d, qint32 e, quint32 f, ChannelRangeStruct* g), (a, b, c, d, e, f, g))  \
    X(45, void, SetAudioFormat, (qint32 a, qint32 b, qint32 c), (a, b, c))                                             \
    X(46, qint32, GetMaxChannelCount, (EMode a), (a))                                                                  \
    X(47, bool, StartDRData, (bool a, qint32 b), (a, b))                                                               \
    X(48, qint32, SetSRNumOfEmitters, (bool a, qint32 b), (a, b))                                                      \
    X(49, qint32, SetScanAveraging, (quint32 a), (a))                                                                  \
    X(50, qint32, GetReadCount, (), ())                                                                                \
    X(51, qint32, GetBufferCount, (), ())                                                                              \
    X(52, qint32, RestartMassData, (), ())                                                                             \
    X(53, qint32, RequestHWStatus, (QList<ComponentInfo*>* a), (a))                                                    \
    X(54, qint32, GetSweepTime, (qint32& a), (a))                                                                      \
    X(55, qint32, SetSyncTimes, (quint64& a, qint32 b), (a, b))                                                        \
    X(56, qint32, GetKVTTime, (quint64& a), (a))                                                                       \
    X(57, qint32, SetGSMSetting, (double a, FreqRangeDefinition* b, GSMSettingsStruct& c), (a, b, c))                  \
    X(58, qint32, FcbSynch, (), ())                                                                                    \
    X(59, void, EnableTimeSync, (bool a), (a))                                                                         \
    X(60, qint32, SendCompassCommand, (quint32 a, const QString& b, QString& c), (a, b, c))                            \
    X(61, qint32, SetCompassValue, (quint32 a), (a))                                                                   \
    X(62, qint32, GetSyncMissedCount, () const, ())                                                                    \
    X(63, qint32, SetSyncTrigger, (bool a), (a))

#define CALLBACK_OPERATIONS(X)                                                                                         \
    X(0, void, fillTDMABuffer, (qint32 a, quint64& b, quint32 c, quint32 d, values::Bearing* e, StatusStruct& f),      \
      (a, b, c, d, e, f))                                                                                              \
    X(1, void, fillScanBuffer, (qint32 a, quint64& b, quint32 c, quint32 d, values::Bearing* e, StatusStruct& f),      \
      (a, b, c, d, e, f))                                                                                              \
    X(2, void, fillFFMBuffer, (const FFMData& a, StatusStruct& b, bool c), (a, b, c))                                  \
    X(3, void, fillFFMSRBuffer, (SuperResolutionStruct& a, StatusStruct& b), (a, b))                                   \
    X(4, void, fillSpectrumBuffer, (const qint16* a, qint32 b), (a, b))                                                \
    X(5, void, fillSRSpectrumBuffer, (qint16* a, qint32 b, quint64& c), (a, b, c))                                     \
    X(6, void, fillTestValuesBuffer, (double* a, quint16 b), (a, b))                                                   \
    X(7, void, fillAudioBuffer, (void* a, quint32 b), (a, b))                                                          \
    X(8, void, fillAudioBufferTime, (void* a, quint32 b), (a, b))                                                      \
    X(9, void, fillAudioFormat, (void* a, quint32 b), (a, b))                                                          \
    X(10, void, fillAudioLevel, (double a), (a))                                                                       \
    X(11, void, fillGPSData, (double a, double b, quint64 c, bool d, qint32 e, qint32 f), (a, b, c, d, e, f))          \
    X(12, void, reportError, (ErrorStruct& a), (a))                                                                    \
    X(13, void, InitSimulation, (INITStruct& a, quint32 b, ChannelRangeStruct* c), (a, b, c))                          \
    X(14, void, setSearchFrequency, (double a), (a))                                                                   \
    X(15, void, getOperateMode, (EMode& a), (a))                                                                       \
    X(16, void, ReportBITResult, (ErrorStruct& a), (a))                                                                \
    X(17, void, SetCommandLog, (QString& a), (a))                                                                      \
    X(18, QString, GetDevAddress, (), ())                                                                              \
    X(19, void, CloseDataLink, (), ())                                                                                 \
    X(20, void, SetEndOfScan, (bool a), (a))                                                                           \
    X(21, void, fillSyncTimestamp, (qint64 a), (a))

// An override that records which slot of Target it occupies.
#define RECORDING_OVERRIDE(nSlot, R, Name, Params, Args)                                                               \
    R Name Params override { return Hit<R Params>(&Target::Name) Args; }

class RecordingLegacyDriver : public ILegacyDriver, public Recorder
{
    using Target = ILegacyDriver;

public:
    RECORDING_OVERRIDE(0, void, SetLegacyCallback, (ILegacyDriverCallback* a), (a))
    RECORDING_OVERRIDE(1, void, Release, (), ())
    RECORDING_OVERRIDE(29, void, ReservedOperation29, (), ())
    DRIVER_OPERATIONS(RECORDING_OVERRIDE)
};

class RecordingCallback : public IDriverCallback, public Recorder
{
    using Target = ILegacyDriverCallback;

public:
    CALLBACK_OPERATIONS(RECORDING_OVERRIDE)
};

// One call through an interface: its slot there, the legacy slot it must reach, and the call with
// sample arguments, which checks what reached the target if one is given.
template <typename Interface> struct Row
{
    std::ptrdiff_t nSlot;
    std::ptrdiff_t nTargetSlot;
    std::function<void(Interface&, const Recorder*)> call;
};

template <typename Signature, typename Interface>
Row<Interface> MakeRow(std::ptrdiff_t nTargetSlot, Signature Interface::*method)
{
    using C = Call<Signature>;
    return {SlotOf(method), nTargetSlot, [=](Interface& caller, const Recorder* pTarget)
            {
                SCOPED_TRACE(nTargetSlot);
                auto samples = C::Samples(std::make_index_sequence<C::nCount>());
                std::apply(
                    [&](auto&... args)
                    {
                        const QString strArgs = C::Describe(args...);
                        const QString strResult = C::TextOf([&] { return (caller.*method)(args...); });
                        if (pTarget == nullptr)
                            return;
                        EXPECT_EQ(pTarget->m_nSlot, nTargetSlot);
                        EXPECT_EQ(pTarget->m_strArgs, strArgs);
                        EXPECT_EQ(strResult, C::TextOf([&] { return C::Answer(nTargetSlot); }));
                    },
                    samples);
            }};
}

#define ROW(nSlot, R, Name, Params, Args) MakeRow<R Params>(nSlot, &Caller::Name),

std::vector<Row<IDriver>> DriverRows()
{
    using Caller = IDriver;
    return {DRIVER_OPERATIONS(ROW)};
}

std::vector<Row<ILegacyDriverCallback>> CallbackRows()
{
    using Caller = ILegacyDriverCallback;
    return {CALLBACK_OPERATIONS(ROW)};
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

    RecordingLegacyDriver m_legacyDriver;
    RecordingCallback m_callback;
    LegacyDriverAdapter m_adapter;
};

} // namespace

TEST_F(LegacyDriverAdapterTest, DriverOperationsHoldTheirSlots)
{
    const std::ptrdiff_t nFirst = SlotOf(&IDriver::SetCallback);
    // IDriver numbers its operations from 1, equal to the legacy slot except in the reordered tail.
    const std::map<std::ptrdiff_t, std::ptrdiff_t> tail = {{61, 62}, {62, 63}, {63, 61}};
    for (const Row<IDriver>& row : DriverRows())
        EXPECT_EQ(row.nSlot - nFirst + 1, tail.count(row.nTargetSlot) ? tail.at(row.nTargetSlot) : row.nTargetSlot)
            << "legacy slot " << row.nTargetSlot;
    EXPECT_EQ(SlotOf(&IDriver::ReservedOperation29) - nFirst + 1, 29);
    EXPECT_EQ(SlotOf(&IDriver::ReservedOperation64) - nFirst + 1, 64);
    EXPECT_EQ(SlotOf(&ILegacyDriver::SetLegacyCallback), 0);
    EXPECT_EQ(SlotOf(&ILegacyDriver::Release), 1);
    EXPECT_EQ(SlotOf(&ILegacyDriver::ReservedOperation29), 29);
    for (const Row<ILegacyDriverCallback>& row : CallbackRows())
        EXPECT_EQ(row.nSlot, row.nTargetSlot);
}

TEST_F(LegacyDriverAdapterTest, ForwardsEveryOperationToItsLegacySlotUnchanged)
{
    for (const Row<IDriver>& row : DriverRows())
        row.call(AsDriver(), &m_legacyDriver);
    for (const Row<ILegacyDriverCallback>& row : CallbackRows())
        row.call(m_adapter, &m_callback);
}

TEST_F(LegacyDriverAdapterTest, WithoutTargetsCallsDoNothingAndStatusCallsReportNotConnected)
{
    LegacyDriverAdapter unconnected;
    IDriver& driver = unconnected;
    for (const Row<IDriver>& row : DriverRows())
        row.call(driver, nullptr);
    for (const Row<ILegacyDriverCallback>& row : CallbackRows())
        row.call(unconnected, nullptr);
    EXPECT_EQ(driver.Reset(), LegacyDriverAdapter::STATUS_NOT_CONNECTED);
    EXPECT_FALSE(driver.StartDRData(true, 1));
    EXPECT_TRUE(static_cast<ILegacyDriverCallback&>(unconnected).GetDevAddress().isEmpty());
}

// Drivers that leave the optional operations alone get these documented answers.
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
