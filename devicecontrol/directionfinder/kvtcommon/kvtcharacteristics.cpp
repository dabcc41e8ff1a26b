#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"

#include "base/errorhandler.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/selitemdesc.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueobservermacros.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QDateTime>

#include <algorithm>

namespace
{

const double fLARGEST_DOUBLE = std::numeric_limits<double>::max();

// Operation modes whose frequency limits are derived from the antennas, in
// the order they are considered.
const EOperationMode s_aLIMITED_OPERATION_MODES[] = {
    static_cast<EOperationMode>(1), static_cast<EOperationMode>(2), static_cast<EOperationMode>(4),
    static_cast<EOperationMode>(3), static_cast<EOperationMode>(6), static_cast<EOperationMode>(9)};

const values::SelItemDesc s_aRF_ATTENUATOR_STEPS[] = {
    {"0 dB", 0.0, 0}, {"12 dB", 12.0, 12}, {"24 dB", 24.0, 24}, {"30 dB", 30.0, 30}};

const QString s_strSERVER_ROOT = QStringLiteral("/KVTServer");

// Antenna variants that differ only in side or polarisation carry one of
// these suffixes; they may share a frequency range and a display name.
bool HasVariantSuffix(const QString& strName)
{
    for (const char* pszSuffix : {"_H", "_V", "_L", "_R"})
    {
        if (strName.endsWith(QLatin1String(pszSuffix)))
            return true;
    }
    return false;
}

// Frequencies in user-visible messages: MHz, general format, default precision.
QString ToMHzText(double fHz)
{
    return QString::number(fHz / 1e6, 'g', 6);
}

// Looks a value up and observes it only when it has the wanted type: a value
// of another type counts as absent, and a registration left on it would
// never be removed again.
template <class T>
T* LookUpAndObserve(const QString& strPath, IObserver* pObserver)
{
    T* pValue = values::LookUpValue<T>(strPath);
    if (pValue != nullptr)
        pValue->AddObserver(pObserver);
    return pValue;
}

}

KVTCharacteristics::KVTCharacteristics()
    : m_eKVTType(KVT_TYPE_Q1)
    , m_pAntennaList(std::make_unique<AntennaDataList>())
    , m_ePolarisationMode(POL_LEFT)
{
    std::fill(std::begin(m_afMinFreq), std::end(m_afMinFreq), fLARGEST_DOUBLE);
    std::fill(std::begin(m_afMaxFreq), std::end(m_afMaxFreq), 0.0);
}

KVTCharacteristics::KVTCharacteristics(const KVTCharacteristics& other)
    : IObserver(other)
    , Observable(other)
    , m_pAntennaList(std::make_unique<AntennaDataList>())
{
    CopyStateFrom(other);
}

KVTCharacteristics& KVTCharacteristics::operator=(const KVTCharacteristics& other)
{
    if (this != &other)
    {
        Observable::operator=(other);
        DisconnectFromValues();
        CopyStateFrom(other);
    }
    return *this;
}

KVTCharacteristics::~KVTCharacteristics()
{
    DisconnectFromValues();
}

void KVTCharacteristics::CopyStateFrom(const KVTCharacteristics& other)
{
    // CopyFrom takes over the list's settings but sorts; the records are then
    // copied again in the source's order, which the lookups depend on.
    m_pAntennaList->CopyFrom(*other.m_pAntennaList);
    m_pAntennaList->Clear();
    for (int i = 0; i < other.m_pAntennaList->GetAntennaCount(); ++i)
        m_pAntennaList->AddAntenna(new AntennaData(*other.m_pAntennaList->GetAntennaByIndex(i)));

    m_strBasePath = other.m_strBasePath;
    m_bAutoUpdate = other.m_bAutoUpdate;
    m_eKVTType = other.m_eKVTType;
    m_nMaxChannelCount = other.m_nMaxChannelCount;
    m_ePolarisationMode = other.m_ePolarisationMode;
    std::copy(std::begin(other.m_afMinFreq), std::end(other.m_afMinFreq), std::begin(m_afMinFreq));
    std::copy(std::begin(other.m_afMaxFreq), std::end(other.m_afMaxFreq), std::begin(m_afMaxFreq));
    m_fConverterSwitchVuhfStart = other.m_fConverterSwitchVuhfStart;
    m_fConverterSwitchHfStop = other.m_fConverterSwitchHfStop;
    m_bSuperResolutionAvailable = other.m_bSuperResolutionAvailable;

    // The copy registers itself with the values the source is bound to, so
    // that each object later removes exactly its own registration.
    if (!m_strBasePath.isEmpty())
        ConnectToValues();
}

// ---------------------------------------------------------------------------
// Binding and refresh

bool KVTCharacteristics::SetBase_ValuePath(const QString& strPath, bool bAutoUpdate)
{
    if (values::Tree::Instance()->FindNode(strPath) == nullptr)
    {
        DisconnectFromValues();
        m_strBasePath.clear();
        return false;
    }
    m_strBasePath = strPath;
    m_bAutoUpdate = bAutoUpdate;
    const bool bConnected = ConnectToValues();
    UpdateCachedDataFromValueTree();
    return bConnected;
}

bool KVTCharacteristics::ConnectToValues()
{
    DisconnectFromValues();

    m_pNodeCfg = values::Tree::Instance()->FindNode(m_strBasePath + StdDeviceDefinition::g_vdNodeCfg.PathName());
    if (m_pNodeCfg != nullptr)
        m_pNodeCfg->AddObserver(this);

    m_pDevType = LookUpAndObserve<values::ValueSelection>(
        m_strBasePath + StdDeviceDefinition::g_vdDevType.PathName(), this);
    m_pMaxChannelCount = LookUpAndObserve<values::Value<int>>(
        m_strBasePath + StdDeviceDefinition::g_vdDevMaxChannelCount.PathName(), this);
    m_pCfgModifyTime = LookUpAndObserve<values::Value<QString>>(
        m_strBasePath + StdDeviceDefinition::g_vdCfgModifyTime.PathName(), this);

    // The polarisation is optional and lives under the server root; a value of
    // another type there is simply not used.
    m_pPolarisation = values::Tree::Instance()->Find<values::ValueSelection>(
        s_strSERVER_ROOT + StdDeviceDefinition::g_vdPolarisation.PathName());
    if (m_pPolarisation != nullptr)
        m_pPolarisation->AddObserver(this);

    return m_pNodeCfg != nullptr && m_pDevType != nullptr && m_pMaxChannelCount != nullptr &&
           m_pCfgModifyTime != nullptr;
}

void KVTCharacteristics::DisconnectFromValues()
{
    values::ReleaseValue(m_pDevType, this);
    values::ReleaseValue(m_pMaxChannelCount, this);
    values::ReleaseValue(m_pNodeCfg, this);
    values::ReleaseValue(m_pCfgModifyTime, this);
    values::ReleaseValue(m_pPolarisation, this);
}

void KVTCharacteristics::UpdateCachedDataFromValueTree()
{
    if (m_strBasePath.isEmpty())
        return;
    m_pAntennaList->ReadAntennasFromValueTree(m_strBasePath);
    UpdateConverterSwitchFreqs();
    // The antenna-support test behind the frequency limits depends on the type.
    UpdateKVTType();
    UpdateAntennaMinMaxFreqs();
    UpdateMaxChannelCount();
    UpdatePolarisationMode();
}

void KVTCharacteristics::Update(Observable* pSender, TChangeCode nCode)
{
    if (pSender == nullptr)
        return;
    switch (nCode)
    {
    case ChangeCode::ValueChanged:
        if (!m_bAutoUpdate)
            return;
        if (pSender == m_pDevType)
            UpdateKVTType();
        else if (pSender == m_pCfgModifyTime)
            UpdateCachedDataFromValueTree();
        else if (pSender == m_pMaxChannelCount)
            UpdateMaxChannelCount();
        else if (pSender == m_pPolarisation)
            UpdatePolarisationMode();
        else
            return;
        NotifyObservers(ChangeCode::ValueChanged, this);
        return;
    case ChangeCode::StateChanged:
        if (pSender == m_pDevType)
            ForgetIfGone(m_pDevType);
        else if (pSender == m_pCfgModifyTime)
            ForgetIfGone(m_pCfgModifyTime);
        else if (pSender == m_pMaxChannelCount)
            ForgetIfGone(m_pMaxChannelCount);
        else if (pSender == m_pPolarisation)
            ForgetIfGone(m_pPolarisation);
        return;
    case ChangeCode::NodeRemoved:
        if (pSender == m_pNodeCfg)
            m_pNodeCfg = nullptr;
        return;
    default:
        return;
    }
}

template <class T>
void KVTCharacteristics::ForgetIfGone(T*& rpValue)
{
    if (rpValue->GetState() == values::ValueBase::STATE_GONE)
        values::ReleaseValue(rpValue, this);
}

void KVTCharacteristics::UpdateKVTType()
{
    m_eKVTType = KVT_TYPE_Q1;
    if (m_pDevType == nullptr)
        return;
    const QString strType = m_pDevType->GetStringValue();
    // Mostly the text the last refresh matched.
    if (m_lastTypeText && m_lastTypeText->first == strType)
    {
        m_eKVTType = m_lastTypeText->second;
        return;
    }
    static const struct
    {
        const char* pszText;
        EKVTType eType;
    } s_aTYPE_TEXTS[] = {{"KVTN1", KVT_TYPE_N1},
                         {"KVTQ1", KVT_TYPE_Q1},
                         {"KVTP1", KVT_TYPE_P1},
                         {"KVTU1", KVT_TYPE_U1},
                         {"KVTW1", KVT_TYPE_W1}};
    for (const auto& entry : s_aTYPE_TEXTS)
    {
        if (strType == QLatin1String(entry.pszText))
        {
            m_eKVTType = entry.eType;
            m_lastTypeText.emplace(strType, entry.eType);
            return;
        }
    }
    if (ErrorHandler::Instance().TracesEnabled())
        _Q_TraceOld("WARNING: device type %s not fully supported", strType.toUtf8().constData());
}

void KVTCharacteristics::UpdateMaxChannelCount()
{
    if (m_pMaxChannelCount != nullptr)
        m_nMaxChannelCount = m_pMaxChannelCount->GetValue();
    if (m_nMaxChannelCount < 1)
        m_nMaxChannelCount = MAX_CHANNEL_COUNT_DEFAULT;
}

void KVTCharacteristics::UpdatePolarisationMode()
{
    if (m_pPolarisation == nullptr)
    {
        m_ePolarisationMode = POL_LEFT;
        return;
    }
    const QString strMode = m_pPolarisation->GetStringValue();
    if (!m_lastPolarisationText || m_lastPolarisationText->first != strMode)
    {
        // The tools' tables are constant; one instance serves every refresh.
        static const KVTCharacteristicsTools s_tools;
        m_lastPolarisationText.emplace(strMode,
                                       static_cast<EKVTPolarisation>(s_tools.TranslatePolarisationMode(strMode)));
    }
    m_ePolarisationMode = m_lastPolarisationText->second;
}

void KVTCharacteristics::UpdateAntennaMinMaxFreqs()
{
    std::fill(m_afMinFreq, m_afMinFreq + MAINTAINED_OPMODE_COUNT, fLARGEST_DOUBLE);
    std::fill(m_afMaxFreq, m_afMaxFreq + MAINTAINED_OPMODE_COUNT, 0.0);
    for (int i = 0; i < m_pAntennaList->GetAntennaCount(); ++i)
        ConsiderAntennaForMinMaxFreqs(m_pAntennaList->GetAntennaByIndex(i));
}

void KVTCharacteristics::ConsiderAntennaForMinMaxFreqs(AntennaData* pAntenna)
{
    if (pAntenna == nullptr)
        return;
    for (EOperationMode eMode : s_aLIMITED_OPERATION_MODES)
    {
        if (pAntenna->m_bEnabled && IsAntennaSupportedByDevice(pAntenna, eMode))
        {
            m_afMinFreq[eMode] = std::min(m_afMinFreq[eMode], pAntenna->m_fMinRange);
            m_afMaxFreq[eMode] = std::max(m_afMaxFreq[eMode], pAntenna->m_fMaxRange);
        }
    }
    // Operation mode 0 has no rows of its own; it always mirrors mode 1.
    m_afMinFreq[0] = m_afMinFreq[1];
    m_afMaxFreq[0] = m_afMaxFreq[1];
}

void KVTCharacteristics::UpdateConverterSwitchFreqs()
{
    m_fConverterSwitchVuhfStart = 0.0;
    m_fConverterSwitchHfStop = 0.0;
    for (int i = 0; i < m_pAntennaList->GetAntennaCount(); ++i)
    {
        const AntennaData* pAntenna = m_pAntennaList->GetAntennaByIndex(i);
        if (pAntenna == nullptr || !pAntenna->m_bEnabled)
            continue;
        if (pAntenna->m_fMaxRange <= 3e7)
            m_fConverterSwitchHfStop = pAntenna->m_fMaxRange;
        else if (pAntenna->m_fMinRange >= 2e7 && pAntenna->m_fMinRange <= 30000001.0)
            m_fConverterSwitchVuhfStart = pAntenna->m_fMinRange;
    }
}

// ---------------------------------------------------------------------------
// Device and antennas

EKVTType KVTCharacteristics::GetKVTType() const
{
    return m_eKVTType;
}

AntennaData* KVTCharacteristics::GetAntennaByHandle(long nHandle)
{
    return m_pAntennaList->GetAntennaByHandle(nHandle);
}

AntennaData* KVTCharacteristics::GetAntennaByIndex(int nIndex)
{
    return m_pAntennaList->GetAntennaByIndex(nIndex);
}

std::set<long> KVTCharacteristics::GetAntennaHandles(bool bOnlyEnabled)
{
    return m_pAntennaList->GetAntennaHandles(bOnlyEnabled);
}

AntennaData* KVTCharacteristics::GetAntennaForFrequency(double fFreq, bool bExactStart)
{
    // The polarisation may change without a notification reaching us (auto
    // update off), so it is read again for every lookup.
    UpdatePolarisationMode();
    return m_pAntennaList->GetAntennaForFrequency(fFreq, bExactStart, m_ePolarisationMode);
}

QString KVTCharacteristics::GetAntennaDisplayName(AntennaData* pAntenna)
{
    if (pAntenna == nullptr)
        return QString();
    if (HasVariantSuffix(pAntenna->m_strName))
        return pAntenna->m_strName.left(pAntenna->m_strName.size() - 2);
    return pAntenna->m_strName;
}

bool KVTCharacteristics::IsAntennaSupportedByDevice(const AntennaData* pAntenna, EOperationMode eMode)
{
    if (pAntenna == nullptr)
        return false;
    return IsRangeSupported(eMode, GetConverterForTypeName(pAntenna->m_strConverterTypeName), pAntenna->m_fMinRange,
                            pAntenna->m_fMaxRange);
}

bool KVTCharacteristics::IsRangeSupported(EOperationMode eMode, EKVTConverter eConverter, double fMin, double fMax)
{
    // With traces on every question is asked again, so that each one that
    // finds nothing still writes its trace.
    if (eMode < 0 || eMode >= OPMODE_TABLE_SIZE || ErrorHandler::Instance().TracesEnabled())
        return GetBestSampleModeDescription(eMode, eConverter, fMin, fMax, fBANDWIDTH_ANY) != nullptr;
    if (m_eSupportAnswersType != GetKVTType() || m_nSupportAnswersOptions != KVTOptions::Revision())
    {
        m_lstSupportAnswers.clear();
        m_eSupportAnswersType = GetKVTType();
        m_nSupportAnswersOptions = KVTOptions::Revision();
    }
    auto it = std::find_if(m_lstSupportAnswers.begin(), m_lstSupportAnswers.end(), [&](const SupportAnswers& entry) {
        return entry.eConverter == eConverter && entry.fMin == fMin && entry.fMax == fMax;
    });
    if (it == m_lstSupportAnswers.end())
    {
        // Bounded: validating many candidate setups must not grow it forever.
        if (m_lstSupportAnswers.size() >= 64)
            m_lstSupportAnswers.clear();
        m_lstSupportAnswers.push_back({eConverter, fMin, fMax, 0, 0});
        it = m_lstSupportAnswers.end() - 1;
    }
    const auto nBit = static_cast<quint16>(1u << eMode);
    if ((it->nKnown & nBit) == 0)
    {
        it->nKnown |= nBit;
        if (GetBestSampleModeDescription(eMode, eConverter, fMin, fMax, fBANDWIDTH_ANY) != nullptr)
            it->nSupported |= nBit;
    }
    return (it->nSupported & nBit) != 0;
}

bool KVTCharacteristics::IsAntennaSupportedByDevice(int nIndex, EOperationMode eMode)
{
    return IsAntennaSupportedByDevice(static_cast<const AntennaData*>(GetAntennaByIndex(nIndex)), eMode);
}

bool KVTCharacteristics::DoesAntennaSupportPolarization(long nHandle)
{
    const AntennaData* pAntenna = GetAntennaByHandle(nHandle);
    return pAntenna != nullptr && pAntenna->m_bPolarizationSupport;
}

bool KVTCharacteristics::DoesAntennaSupportActivePassive(long nHandle)
{
    const AntennaData* pAntenna = GetAntennaByHandle(nHandle);
    if (pAntenna == nullptr || pAntenna->m_strName.contains(QLatin1String("HR463")))
        return false;
    return pAntenna->m_bActivePassiveSupport;
}

EFreqRange KVTCharacteristics::GetRangeTypeOfAntenna(const AntennaData* pAntenna, EOperationMode eMode)
{
    if (pAntenna == nullptr)
    {
        if (ErrorHandler::Instance().TracesEnabled())
            _Q_Trace(QStringLiteral("WARNING: cannot determine range type for unknown antenna"), __FILE__, __LINE__);
        return FREQ_RANGE_UNKNOWN;
    }
    const SampleModeDescription* pDescription =
        GetBestSampleModeDescription(eMode, pAntenna->m_fMinRange, pAntenna->m_fMaxRange, fBANDWIDTH_ANY);
    if (pDescription != nullptr)
        return pDescription->m_eRangeType;
    if (ErrorHandler::Instance().TracesEnabled())
        _Q_TraceOld("WARNING: cannot determine range type for antenna %s %f - %f",
                    pAntenna->m_strName.toUtf8().constData(), pAntenna->m_fMinRange, pAntenna->m_fMaxRange);
    return pAntenna->m_fMinFreq >= 1e7 ? FREQ_RANGE_VUHF : FREQ_RANGE_HF;
}

EFreqRange KVTCharacteristics::GetRangeTypeForFrequency(double fFreq)
{
    return GetRangeTypeOfAntenna(GetAntennaForFrequency(fFreq, false), OPMODE_ANY);
}

int KVTCharacteristics::GetMaxChannelCount()
{
    return m_nMaxChannelCount;
}

bool KVTCharacteristics::IsSuperResolutionAvailable()
{
    return m_bSuperResolutionAvailable;
}

// ---------------------------------------------------------------------------
// Frequency limits

double KVTCharacteristics::GetMinFreq(EOperationMode eMode)
{
    const bool bKnownMode = eMode >= 0 && eMode < OPMODE_TABLE_SIZE;
    return LimitFrequency(bKnownMode ? m_afMinFreq[eMode] : fLARGEST_DOUBLE);
}

double KVTCharacteristics::GetMaxFreq(EOperationMode eMode)
{
    const bool bKnownMode = eMode >= 0 && eMode < OPMODE_TABLE_SIZE;
    return LimitFrequency(bKnownMode ? m_afMaxFreq[eMode] : 0.0);
}

double KVTCharacteristics::LimitFrequency(double fFreq) const
{
    // A mode that no antenna serves still holds its start values (largest
    // double / 0); it reports 25 MHz, and on a P1 device the lower P1 limit.
    // The out-of-range test therefore runs before the P1 clamp.
    if (fFreq > 3.6e9 || fFreq < 9000.0)
        fFreq = 2.5e7;
    if (GetKVTType() == KVT_TYPE_P1)
        fFreq = fFreq < 1e8 ? 1e8 : std::min(fFreq, 4.5e8);
    return fFreq;
}

bool KVTCharacteristics::GetConverterSwitchFreq(double& fVuhfStart, double& fHfStop)
{
    fVuhfStart = m_fConverterSwitchVuhfStart;
    fHfStop = m_fConverterSwitchHfStop;
    return m_fConverterSwitchVuhfStart != 0.0;
}

// ---------------------------------------------------------------------------
// Converters and preamplifiers

namespace
{
// All converter type names have four characters; a name packed into one
// number compares in one step, which the sample-mode lookups do per query.
constexpr quint64 PackConverterName(char16_t c0, char16_t c1, char16_t c2, char16_t c3)
{
    return (quint64(c0) << 48) | (quint64(c1) << 32) | (quint64(c2) << 16) | quint64(c3);
}

constexpr quint64 PackConverterName(const char (&name)[5])
{
    return PackConverterName(name[0], name[1], name[2], name[3]);
}
}

EKVTConverter KVTCharacteristics::GetConverterForTypeName(const QString& strTypeName) const
{
    static constexpr struct
    {
        quint64 nName;
        EKVTConverter eConverter;
    } s_aCONVERTER_NAMES[] = {
        {PackConverterName("RP29"), CONV_RP29}, {PackConverterName("RP39"), CONV_RP39},
        {PackConverterName("VQ28"), CONV_VQ28}, {PackConverterName("VQ36"), CONV_VQ36},
        {PackConverterName("VQ48"), CONV_VQ48}, {PackConverterName("VQ26"), CONV_VQ26},
        {PackConverterName("RP56"), CONV_RP56}, {PackConverterName("VQ57"), CONV_VQ57},
        {PackConverterName("RP38"), CONV_RP38}, {PackConverterName("VQ62"), CONV_VQ62}};
    if (strTypeName.size() != 4)
        return CONV_NONE;
    const QChar* pName = strTypeName.constData();
    const quint64 nName = PackConverterName(pName[0].unicode(), pName[1].unicode(), pName[2].unicode(),
                                            pName[3].unicode());
    for (const auto& entry : s_aCONVERTER_NAMES)
    {
        if (nName == entry.nName)
            return entry.eConverter;
    }
    return CONV_NONE;
}

namespace
{
bool IsInConverterList(const EKVTConverter* pList, EKVTConverter eConverter)
{
    for (; *pList != CONV_NONE; ++pList)
    {
        if (*pList == eConverter)
            return true;
    }
    return false;
}
}

bool KVTCharacteristics::IsHfConverter(EKVTConverter eConverter) const
{
    return IsInConverterList(s_aHF_CONVERTERS, eConverter);
}

bool KVTCharacteristics::IsVuhfConverter(EKVTConverter eConverter) const
{
    return IsInConverterList(s_aVUHF_CONVERTERS, eConverter);
}

std::set<EKVTConverter> KVTCharacteristics::GetAvailableConverters()
{
    std::set<EKVTConverter> setConverters;
    for (int i = 0; i < m_pAntennaList->GetAntennaCount(); ++i)
    {
        const EKVTConverter eConverter =
            GetConverterForTypeName(m_pAntennaList->GetAntennaByIndex(i)->m_strConverterTypeName);
        if (eConverter != CONV_NONE)
            setConverters.insert(eConverter);
    }
    return setConverters;
}

EKVTConverter KVTCharacteristics::GetConverterForFrequencyRange(double fStart, double fStop)
{
    const AntennaData* pAntenna = m_pAntennaList->GetAntennaForFreqRange(fStart, fStop);
    return pAntenna != nullptr ? GetConverterForTypeName(pAntenna->m_strConverterTypeName) : CONV_NONE;
}

bool KVTCharacteristics::IsHfPreampAvailable()
{
    return IsPreampAvailable(&KVTCharacteristics::IsHfConverter);
}

bool KVTCharacteristics::IsVuhfPreampAvailable()
{
    return IsPreampAvailable(&KVTCharacteristics::IsVuhfConverter);
}

bool KVTCharacteristics::IsPreampAvailable(bool (KVTCharacteristics::*pfnIsPathConverter)(EKVTConverter) const)
{
    for (int i = 0; i < m_pAntennaList->GetAntennaCount(); ++i)
    {
        const AntennaData* pAntenna = m_pAntennaList->GetAntennaByIndex(i);
        if (pAntenna == nullptr || !pAntenna->m_bEnabled)
            continue;
        const EKVTConverter eConverter = GetConverterForTypeName(pAntenna->m_strConverterTypeName);
        if (!(this->*pfnIsPathConverter)(eConverter))
            continue;
        bool bPreamp = false;
        ForEachMatchingSampleMode(OPMODE_ANY, eConverter, fFREQUENCY_ANY, fFREQUENCY_ANY, fBANDWIDTH_ANY, false,
                                  [&bPreamp](const SampleModeDescription* pRow) {
                                      bPreamp = pRow->m_bPreamp;
                                      return bPreamp;
                                  });
        if (bPreamp)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Sample-mode matching

namespace
{
// The sample-mode table indexed once (it is constant): per converter, device
// type and operation mode the rows that may serve them, in table order, with
// their operation-mode lists as bit sets for the exact check. A query then looks at a handful of rows and asks the
// installed options only about rows that match in everything else.
class SampleModeIndex
{
public:
    /// The fields a match reads, copied next to each other.
    struct Row
    {
        const KVTSampleModeDescription* pRow;
        quint64 nModes;   ///< bit m: operation mode m is listed
        bool bAnyMode;    ///< OPMODE_ANY is listed
        EKVTOptions eRequiredOption;
        EKVTOptions eExcludingOption;
        double fRealtimeBandwidth;
        double fMinFreq;
        double fMaxFreq;
    };

    static const SampleModeIndex& Instance()
    {
        static const SampleModeIndex s_index;
        return s_index;
    }

    /// A superset of the rows that can match, in table order or by priority
    /// (highest first, table order among equal ones); empty for CONV_NONE,
    /// unknown converters and types no row lists.
    const std::vector<Row>& RowsFor(EKVTConverter eConverter, EKVTType eType, EOperationMode eMode,
                                    bool bByPriority) const
    {
        static const std::vector<Row> s_lstNone;
        if (!IsIndexed(eConverter, eType))
            return s_lstNone;
        return (bByPriority ? m_aByPriority : m_aRows)[eConverter][eType][ModeSlot(eMode)];
    }

    /// The bit of an operation mode; 0 for modes no list can hold.
    static quint64 Bit(int nValue) { return nValue >= 0 && nValue < 64 ? quint64(1) << nValue : 0; }

private:
    static constexpr int CONVERTER_LIMIT = 12;
    static constexpr int TYPE_LIMIT = 8;
    // Slots 0..15: that operation mode; then OPMODE_ANY (every row) and any
    // other mode (rows listing OPMODE_ANY or a mode outside 0..15).
    static constexpr int MODE_LIMIT = 16;
    static constexpr int SLOT_ANY = MODE_LIMIT;
    static constexpr int SLOT_OTHER = MODE_LIMIT + 1;

    static int ModeSlot(int nMode)
    {
        if (nMode == OPMODE_ANY)
            return SLOT_ANY;
        return nMode >= 0 && nMode < MODE_LIMIT ? nMode : SLOT_OTHER;
    }

    static bool IsIndexed(int nConverter, int nType)
    {
        return nConverter > CONV_NONE && nConverter < CONVERTER_LIMIT && nType >= 0 && nType < TYPE_LIMIT;
    }

    SampleModeIndex()
    {
        using Description = KVTSampleModeDescription;
        for (const Description* pRow = KVTCharacteristics::s_aSampleModeDescription;
             pRow->m_eSampleMode != SAMPLE_MODE_NONE; ++pRow)
        {
            Row row{pRow,
                    0,
                    false,
                    pRow->m_eRequiredOption,
                    pRow->m_eExcludingOption,
                    pRow->m_fRealtimeBandwidth,
                    pRow->m_fMinFreq,
                    pRow->m_fMaxFreq};
            for (const EOperationMode* pMode = pRow->m_aeOperationModes;
                 pMode != pRow->m_aeOperationModes + Description::LIST_CAPACITY && *pMode != OPMODE_LIST_END;
                 ++pMode)
            {
                row.nModes |= Bit(*pMode);
                row.bAnyMode = row.bAnyMode || *pMode == OPMODE_ANY;
            }
            // A type listed twice or a converter named twice adds the row once.
            const EKVTType* const pTypesEnd = std::find(
                pRow->m_aeDeviceTypes, pRow->m_aeDeviceTypes + Description::LIST_CAPACITY, KVT_TYPE_END);
            for (const EKVTType* pType = pRow->m_aeDeviceTypes; pType != pTypesEnd; ++pType)
            {
                if (std::find(pRow->m_aeDeviceTypes, pType, *pType) != pType)
                    continue;
                AddRow(pRow->m_eConverter1, *pType, row);
                if (pRow->m_eConverter2 != pRow->m_eConverter1)
                    AddRow(pRow->m_eConverter2, *pType, row);
            }
        }
        for (int nConverter = 0; nConverter < CONVERTER_LIMIT; ++nConverter)
        {
            for (int nType = 0; nType < TYPE_LIMIT; ++nType)
            {
                for (int nSlot = 0; nSlot < MODE_LIMIT + 2; ++nSlot)
                {
                    std::vector<Row>& rRows = m_aByPriority[nConverter][nType][nSlot];
                    rRows = m_aRows[nConverter][nType][nSlot];
                    std::stable_sort(rRows.begin(), rRows.end(), [](const Row& a, const Row& b) {
                        return a.pRow->m_nPriority > b.pRow->m_nPriority;
                    });
                }
            }
        }
    }

    void AddRow(EKVTConverter eConverter, EKVTType eType, const Row& row)
    {
        if (!IsIndexed(eConverter, eType))
            return;
        std::vector<Row>* aSlots = m_aRows[eConverter][eType];
        aSlots[SLOT_ANY].push_back(row);
        const EOperationMode* pMode = row.pRow->m_aeOperationModes;
        const EOperationMode* const pModesEnd = pMode + KVTSampleModeDescription::LIST_CAPACITY;
        bool bOther = row.bAnyMode;
        for (int nSlot = 0; nSlot < MODE_LIMIT; ++nSlot)
        {
            if (row.bAnyMode || (row.nModes & Bit(nSlot)) != 0)
                aSlots[nSlot].push_back(row);
        }
        for (; pMode != pModesEnd && *pMode != OPMODE_LIST_END; ++pMode)
            bOther = bOther || ModeSlot(*pMode) == SLOT_OTHER;
        if (bOther)
            aSlots[SLOT_OTHER].push_back(row);
    }

    std::vector<Row> m_aRows[CONVERTER_LIMIT][TYPE_LIMIT][MODE_LIMIT + 2];
    std::vector<Row> m_aByPriority[CONVERTER_LIMIT][TYPE_LIMIT][MODE_LIMIT + 2];
};
}

template <class F>
void KVTCharacteristics::ForEachMatchingSampleMode(EOperationMode eMode, EKVTConverter eConverter, double fStart,
                                                   double fStop, double fRealtimeBw, bool bByPriority,
                                                   F visit) const
{
    const quint64 nModeBit = SampleModeIndex::Bit(eMode);
    const KVTOptions* pOptions = nullptr;
    for (const SampleModeIndex::Row& row : SampleModeIndex::Instance().RowsFor(eConverter, GetKVTType(), eMode, bByPriority))
    {
        if (fRealtimeBw != fBANDWIDTH_ANY && fRealtimeBw != row.fRealtimeBandwidth)
            continue;
        // Written as "not inside" so that a NaN bound (a damaged antenna
        // range) matches no row.
        if (fStart != fFREQUENCY_ANY && !(fStart >= row.fMinFreq))
            continue;
        if (fStop != fFREQUENCY_ANY && !(row.fMaxFreq >= fStop))
            continue;
        if (eMode != OPMODE_ANY && !row.bAnyMode && (row.nModes & nModeBit) == 0)
            continue;
        if (pOptions == nullptr)
            pOptions = KVTOptions::Instance();
        if (!pOptions->HasOption(row.eRequiredOption))
            continue;
        if (row.eExcludingOption != eOptNone && pOptions->HasOption(row.eExcludingOption))
            continue;
        if (visit(row.pRow))
            return;
    }
}

const KVTCharacteristics::SampleModeDescription* KVTCharacteristics::GetBestSampleModeDescription(
    EOperationMode eMode, EKVTConverter eConverter, double fStart, double fStop, double fRealtimeBw)
{
    // The first match by priority is the best: among equal priorities the
    // first row of the table wins. Priorities from -100000 down never win.
    const SampleModeDescription* pBest = nullptr;
    ForEachMatchingSampleMode(eMode, eConverter, fStart, fStop, fRealtimeBw, true,
                              [&pBest](const SampleModeDescription* pRow) {
                                  if (pRow->m_nPriority > -100000)
                                      pBest = pRow;
                                  return true;
                              });
    if (pBest == nullptr && ErrorHandler::Instance().TracesEnabled())
        _Q_TraceOld("No sample mode matching eConverter=%d, eOpMode=%d, fStartFreq=%f, fStopFreq=%f, fRealtimeBw=%f",
                    static_cast<int>(eConverter), static_cast<int>(eMode), fStart, fStop, fRealtimeBw);
    return pBest;
}

const KVTCharacteristics::SampleModeDescription* KVTCharacteristics::GetBestSampleModeDescription(
    EOperationMode eMode, double fStart, double fStop, double fRealtimeBw)
{
    // The request only selects the antenna; the sample mode must then cover
    // that antenna's whole used range.
    const AntennaData* pAntenna = m_pAntennaList->GetAntennaForFreqRange(fStart, fStop);
    if (pAntenna == nullptr)
        return nullptr;
    return GetBestSampleModeDescription(eMode, GetConverterForTypeName(pAntenna->m_strConverterTypeName),
                                        pAntenna->m_fMinRange, pAntenna->m_fMaxRange,
                                        fRealtimeBw < 1.0 ? fBANDWIDTH_ANY : fRealtimeBw);
}

EKVTSampleMode KVTCharacteristics::GetBestSampleMode(EOperationMode eMode, double fStart, double fStop,
                                                     double fRealtimeBw)
{
    const SampleModeDescription* pDescription = GetBestSampleModeDescription(eMode, fStart, fStop, fRealtimeBw);
    if (pDescription != nullptr)
        return pDescription->m_eSampleMode;
    if (ErrorHandler::Instance().TracesEnabled())
    {
        // Clamped first: the wildcard and huge requests do not fit into an int.
        const double fClamped = std::max<double>(std::numeric_limits<int>::min(),
                                                 std::min<double>(std::numeric_limits<int>::max(), fRealtimeBw));
        _Q_TraceOld("WARNING: No sample mode found for eOpMode=%d, fStartFreq=%f, fStopFreq=%f, fRealtimeBw=%d",
                    static_cast<int>(eMode), fStart, fStop, static_cast<int>(fClamped));
    }
    return SAMPLE_MODE_NONE;
}

// ---------------------------------------------------------------------------
// Bandwidths

const std::set<double> KVTCharacteristics::GetRealtimeBandwidths(EOperationMode eMode, double fStart,
                                                                 double fStop) const
{
    std::set<double> setBandwidths;
    const AntennaData* pAntenna = m_pAntennaList->GetAntennaForFreqRange(fStart, fStop);
    if (pAntenna == nullptr)
        return setBandwidths;
    ForEachMatchingSampleMode(eMode, GetConverterForTypeName(pAntenna->m_strConverterTypeName),
                              pAntenna->m_fMinRange, pAntenna->m_fMaxRange, fBANDWIDTH_ANY, false,
                              [&setBandwidths](const SampleModeDescription* pRow) {
                                  setBandwidths.insert(pRow->m_fRealtimeBandwidth);
                                  return false;
                              });
    return setBandwidths;
}

double KVTCharacteristics::GetDefaultRealtimeBandwidth(EOperationMode eMode, double fStart, double fStop)
{
    const SampleModeDescription* pDescription = GetBestSampleModeDescription(eMode, fStart, fStop, fBANDWIDTH_ANY);
    return pDescription != nullptr ? pDescription->m_fRealtimeBandwidth : 0.0;
}

std::set<double> KVTCharacteristics::GetResolutionBandwidths(EOperationMode eMode, double fStart, double fStop,
                                                             double fRealtimeBw)
{
    std::set<double> setBandwidths;
    const SampleModeDescription* pDescription = GetBestSampleModeDescription(eMode, fStart, fStop, fRealtimeBw);
    if (pDescription == nullptr)
        return setBandwidths;
    for (const double* pBw = pDescription->m_pResolutionBandwidths; *pBw > 0.0; ++pBw)
        setBandwidths.insert(*pBw);
    return setBandwidths;
}

double KVTCharacteristics::ToNextValidResolutionBandwidth(EOperationMode eMode, double fStart, double fStop,
                                                          double fRealtimeBw, double fRequested)
{
    const SampleModeDescription* pDescription = GetBestSampleModeDescription(eMode, fStart, fStop, fRealtimeBw);
    if (pDescription == nullptr)
        return 0.0;
    // Ascending table: the first value not below the request, else the largest.
    double fLast = 0.0;
    for (const double* pBw = pDescription->m_pResolutionBandwidths; *pBw > 0.0; ++pBw)
    {
        if (*pBw >= fRequested)
            return *pBw;
        fLast = *pBw;
    }
    return fLast;
}

double KVTCharacteristics::GetDefaultResolutionBandwidth(EOperationMode eMode, double fStart, double fStop,
                                                         double fRealtimeBw)
{
    return ToNextValidResolutionBandwidth(eMode, fStart, fStop, fRealtimeBw, 20000.0);
}

namespace
{
// Replaces the items by one per bandwidth, keyed 0, 1, 2 ...; an empty set
// leaves the selection as it is (no antenna or no sample mode for the range).
void FillSelectionWithBandwidths(values::ValueSelection* pSelection, const std::set<double>& setBandwidths,
                                 IObserver* pObserver)
{
    if (setBandwidths.empty())
        return;
    pSelection->RemoveAllItems(pObserver);
    int nKey = 0;
    for (double fBandwidth : setBandwidths)
        pSelection->AddItem(KVTCharacteristics::FormatBandwidth(fBandwidth, 2, false), fBandwidth, nKey++, pObserver);
}
}

void KVTCharacteristics::UpdateHopBandwidthSelection(values::ValueSelection* pSelection, EOperationMode eMode,
                                                     double fStart, double fStop, IObserver* pObserver)
{
    if (pSelection != nullptr)
        FillSelectionWithBandwidths(pSelection, GetRealtimeBandwidths(eMode, fStart, fStop), pObserver);
}

void KVTCharacteristics::UpdateResolutionBandwidthSelection(values::ValueSelection* pSelection,
                                                            EOperationMode eMode, double fStart, double fStop,
                                                            double fRealtimeBw, IObserver* pObserver)
{
    if (pSelection != nullptr)
        FillSelectionWithBandwidths(pSelection, GetResolutionBandwidths(eMode, fStart, fStop, fRealtimeBw),
                                    pObserver);
}

QString KVTCharacteristics::FormatBandwidth(double fBandwidth, int nPrecision, bool bKeepTrailingZeros)
{
    QString strUnit;
    double fNumber = fBandwidth;
    if (fBandwidth < 1000.0)
        strUnit = QStringLiteral(" Hz");
    else if (fBandwidth < 1e6)
    {
        strUnit = QStringLiteral(" kHz");
        fNumber = fBandwidth / 1000.0;
    }
    else if (fBandwidth < 1e9)
    {
        strUnit = QStringLiteral(" MHz");
        fNumber = fBandwidth / 1e6;
    }
    QString strNumber = QStringLiteral("%1").arg(fNumber, 0, 'f', nPrecision >= 0 ? nPrecision : -1, QLatin1Char(' '));
    if (!bKeepTrailingZeros && strNumber.contains(QLatin1Char('.')))
    {
        while (strNumber.endsWith(QLatin1Char('0')))
            strNumber.chop(1);
        if (strNumber.endsWith(QLatin1Char('.')))
            strNumber.chop(1);
    }
    return strNumber + strUnit;
}

// ---------------------------------------------------------------------------
// DF methods and polarisation

std::list<EKVTMethod> KVTCharacteristics::GetAvailableDfMethodsForFreq(double fFreq, double /*fStop*/)
{
    std::list<EKVTMethod> lstMethods;
    for (int i = 0; i < m_pAntennaList->GetAntennaCount(); ++i)
    {
        const AntennaData* pAntenna = m_pAntennaList->GetAntennaByIndex(i);
        // Written as "not covered" so that a NaN frequency matches no antenna.
        if (pAntenna == nullptr || !pAntenna->m_bEnabled ||
            !(pAntenna->m_fMinRange <= fFreq && fFreq <= pAntenna->m_fMaxRange))
            continue;
        for (quint32 nCode : pAntenna->m_lstDfMethods)
        {
            const auto eMethod = static_cast<EKVTMethod>(nCode);
            if (std::find(lstMethods.begin(), lstMethods.end(), eMethod) != lstMethods.end())
                continue;
            if (eMethod == DF_METHOD_SUPR)
                m_bSuperResolutionAvailable = true;
            lstMethods.push_back(eMethod);
        }
    }
    return lstMethods;
}

std::list<EKVTPolarisation> KVTCharacteristics::GetAvailablePolarisationModesForFreq(double fStart, double fStop)
{
    std::list<EKVTPolarisation> lstModes;
    for (int i = 0; i < m_pAntennaList->GetAntennaCount(); ++i)
    {
        const AntennaData* pAntenna = m_pAntennaList->GetAntennaByIndex(i);
        if (pAntenna == nullptr)
            continue;
        auto covers = [pAntenna](double fFreq) {
            return pAntenna->m_fMinRange <= fFreq && fFreq <= pAntenna->m_fMaxRange;
        };
        // A stop of 0 or less asks for the start frequency alone.
        if (covers(fStart) && (fStop <= 0.0 || covers(fStop)) && pAntenna->m_bEnabled &&
            pAntenna->m_bPolarizationSupport)
            lstModes.push_back(pAntenna->m_ePolarizationMode);
    }
    return lstModes;
}

long KVTCharacteristics::GetDfMethodsDetailedForAntennaAndFrequency(const AntennaData* pAntenna, double fFreq)
{
    if (pAntenna == nullptr)
        return 0;
    for (const AntennaDescription* pRow = s_aAntennaLibrary; !pRow->m_strName.isEmpty(); ++pRow)
    {
        if (pRow->m_strName == pAntenna->m_strName && pRow->m_fMinFreq <= fFreq && fFreq <= pRow->m_fMaxFreq)
            return pRow->m_eMethodsDetailed;
    }
    // Unknown models (or frequencies outside their sub-bands): super-resolution
    // models get bit 8 besides the standard method.
    return pAntenna->m_strName.contains(QLatin1String("SR")) ? (METHOD_DETAILED_2 | METHOD_DETAILED_8)
                                                              : METHOD_DETAILED_2;
}

bool KVTCharacteristics::HasAntennaDFMethod(const AntennaData* pAntenna, double fFreq, EKVTMethodDetailed eMethod)
{
    const long nMethods = GetDfMethodsDetailedForAntennaAndFrequency(pAntenna, fFreq);
    return (nMethods & eMethod) == eMethod;
}

void KVTCharacteristics::FillSelectionWithDfMethods(values::ValueSelection& selection,
                                                    std::list<EKVTMethod>& lstMethods, IObserver* pObserver)
{
    const KVTCharacteristicsTools tools;
    selection.RemoveAllItems(pObserver);
    int nKey = 0;
    for (EKVTMethod eMethod : lstMethods)
        selection.AddItem(std::make_unique<values::SelectionItem>(tools.TranslateDfMethod(eMethod), 0.0, nKey++),
                          pObserver);
}

void KVTCharacteristics::FillSelectionWithPolarisationModes(values::ValueSelection& selection,
                                                            std::list<EKVTPolarisation> lstModes,
                                                            IObserver* pObserver)
{
    const KVTCharacteristicsTools tools;
    selection.RemoveAllItems(pObserver);
    for (EKVTPolarisation eMode : lstModes)
        selection.AddItem(std::make_unique<values::SelectionItem>(tools.TranslatePolarisationMode(eMode), 0.0,
                                                                  static_cast<int>(eMode)),
                          pObserver);
}

void KVTCharacteristics::UpdateRfAttenuatorValuesAtVT(values::ValueSelection* pSelection, int nKind,
                                                      IObserver* pObserver)
{
    if (pSelection == nullptr)
        return;
    pSelection->RemoveAllItems(pObserver);
    const int nCount = (nKind == 0 || nKind == 2) ? 2 : 4;
    values::SelItemDesc::AddItems(s_aRF_ATTENUATOR_STEPS, nCount, pSelection, pObserver);
}

// ---------------------------------------------------------------------------
// Azimuth display

bool KVTCharacteristics::AdjustAzimuthToDisplayMode(unsigned short& nAzimuth, int nDisplayMode)
{
    const auto* pDeclination = values::LookUpValue<values::ValueNumeric<int>>(
        s_strSERVER_ROOT + StdDeviceDefinition::g_vdDeclination.PathName());
    if (pDeclination == nullptr)
        return false;
    // The heading source only has to exist; its setting does not (yet) change
    // the conversion.
    if (values::LookUpValue<values::ValueSelection>(s_strSERVER_ROOT + StdDeviceDefinition::g_vdHeaSource.PathName()) ==
        nullptr)
        return false;

    // Device arithmetic is 16 bits wide; the result is read back as signed.
    const auto nDeclination = static_cast<quint16>(pDeclination->GetValue());
    quint16 nResult = 0;
    switch (nDisplayMode)
    {
    case 0:
        nResult = nAzimuth;
        break;
    case 1:
        nResult = static_cast<quint16>(nAzimuth - nDeclination);
        break;
    case 2:
        nResult = static_cast<quint16>(nAzimuth + 1800);
        break;
    case 3:
        nResult = static_cast<quint16>(nAzimuth - nDeclination + 1800);
        break;
    default:
        return false;
    }
    nAzimuth = static_cast<unsigned short>(ValidateAzimuthRange(static_cast<qint16>(nResult)));
    return true;
}

int KVTCharacteristics::ValidateAzimuthRange(int nAzimuth)
{
    const int nWrapped = nAzimuth % 3600;
    return nWrapped < 0 ? nWrapped + 3600 : nWrapped;
}

// ---------------------------------------------------------------------------
// Antenna setup validation and adjustment

bool KVTCharacteristics::CheckAntennaSetupValidity(AntennaDataList* pList, QString& strMessage)
{
    AntennaDataList& list = pList != nullptr ? *pList : *m_pAntennaList;
    if (list.GetAntennaCount() == 0)
    {
        strMessage = tr("No antennas connected to device.");
        return false;
    }

    double fLow = -1.0;
    double fHigh = -1.0;
    int nCount = 0;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
    {
        const AntennaData* pAntenna = list.GetAntennaByIndex(i);
        if (pAntenna == nullptr || !pAntenna->m_bEnabled)
            continue;
        if (!IsAntennaSupportedByDevice(pAntenna, OPMODE_ANY))
        {
            strMessage = tr("Antenna %1 (%2 MHz - %3 MHz) is not supported by the KVT device with the currently "
                            "installed options. It must be disabled.")
                             .arg(pAntenna->m_strName, ToMHzText(pAntenna->m_fMinFreq),
                                  ToMHzText(pAntenna->m_fMaxFreq));
            return false;
        }
        const double fMin = pAntenna->m_fMinRange;
        const double fMax = pAntenna->m_fMaxRange;
        if (fLow <= 0.0 || fHigh <= 0.0)
        {
            fLow = fMin;
            fHigh = fMax;
        }
        else if (fMax == fLow || fMax + 1.0 == fLow)
            fLow = fMin;
        else if (fHigh == fMin || fHigh + 1.0 == fMin)
            fHigh = fMax;
        else if (fLow > fMax || fMin > fHigh)
        {
            strMessage = tr("Frequency range is not entirely covered without gaps.");
            return false;
        }
        else if ((fMax != fHigh && fMin != fLow) || !HasVariantSuffix(pAntenna->m_strName))
        {
            // Only side or polarisation variants may share an end of the span.
            strMessage = tr("Frequency ranges are overlapping.");
            return false;
        }
        ++nCount;
    }
    if (nCount == 0)
    {
        strMessage = tr("No antennas enabled.");
        return false;
    }
    strMessage = tr("Antenna setup is valid.");
    return true;
}

bool KVTCharacteristics::MakeAntennaSetupValid(QString& strMessage)
{
    QString strIgnored;
    if (CheckAntennaSetupValidity(m_pAntennaList.get(), strIgnored))
    {
        strMessage = tr("Antenna setup is already valid. Nothing changed.");
        return true;
    }

    AntennaDataList work;
    work.CopyFrom(*m_pAntennaList);
    int nSupported = 0;
    for (int i = 0; i < work.GetAntennaCount(); ++i)
    {
        AntennaData* pAntenna = work.GetAntennaByIndex(i);
        pAntenna->m_bEnabled = IsAntennaSupportedByDevice(pAntenna, OPMODE_ANY);
        pAntenna->m_fMinRange = pAntenna->m_fMinFreq;
        pAntenna->m_fMaxRange = pAntenna->m_fMaxFreq;
        if (pAntenna->m_bEnabled)
            ++nSupported;
    }
    if (nSupported == 0)
    {
        strMessage = tr("No antenna is supported by device.");
        return false;
    }
    work.SortAntennasByFrequencyRanges();

    // Chain the nominal ranges from the bottom up: each antenna starts 1 Hz
    // above the previous one; antennas that add nothing or leave a gap are
    // disabled (the gap is not reported here).
    double fLow = -1.0;
    double fHigh = -1.0;
    for (int i = 0; i < work.GetAntennaCount(); ++i)
    {
        AntennaData* pAntenna = work.GetAntennaByIndex(i);
        if (!pAntenna->m_bEnabled)
        {
            pAntenna->m_fMinRange = pAntenna->m_fMaxRange;
            continue;
        }
        if (fHigh >= 0.0)
        {
            if (fHigh >= pAntenna->m_fMaxRange)
            {
                // The right-hand side of this loop antenna pairs with its left
                // side over the same range and must stay in use.
                if (pAntenna->m_strName != QLatin1String("HR428_R"))
                    pAntenna->m_bEnabled = false;
            }
            else if (pAntenna->m_fMinRange > fHigh + 1.0)
                pAntenna->m_bEnabled = false;
            else
                pAntenna->m_fMinRange = fHigh + 1.0;
        }
        if (pAntenna->m_bEnabled)
        {
            if (fLow < 0.0)
                fLow = pAntenna->m_fMinRange;
            fHigh = pAntenna->m_fMaxRange;
        }
        else
            pAntenna->m_fMinRange = pAntenna->m_fMaxRange;
    }

    m_pAntennaList->CopyFrom(work);
    // Unbound there is no device node to write to; the repaired list is kept.
    if (!m_strBasePath.isEmpty())
        m_pAntennaList->WriteAntennasToValueTree(m_strBasePath);
    // Touching the modify time makes every bound observer, this object
    // included (no sender is passed), refresh from the new setup.
    if (m_pCfgModifyTime != nullptr)
        m_pCfgModifyTime->SetValue(QDateTime::currentDateTime().toString(QStringLiteral("ddMMyyhhmmss")));

    strMessage = tr("Auto configuration of antennas successfully covered range from %1 MHz to %2 MHz.")
                     .arg(ToMHzText(fLow), ToMHzText(fHigh));
    return true;
}

const AntennaData* KVTCharacteristics::ToNextValidFrequency(EOperationMode eMode, double& fFreq, double& fSpan)
{
    const double fMin = GetMinFreq(eMode);
    if (fMin > fFreq)
        fFreq = fMin;
    const double fMax = GetMaxFreq(eMode);
    if (fFreq > fMax)
        fFreq = fMax;

    switch (static_cast<int>(eMode))
    {
    case 0:
    case 1:
    case 3:
    case 4:
    case 6:
    case 9:
        return GetAntennaForFrequency(fFreq, false);
    case 2:
    {
        const AntennaData* pAntenna = GetAntennaForFrequency(fFreq, false);
        if (pAntenna == nullptr)
            return nullptr;
        // Push the band fFreq +- fSpan/2 inside the antenna; the lower edge wins.
        const double fHalf = fSpan * 0.5;
        if (pAntenna->m_fMinRange >= fFreq - fHalf)
            fFreq = pAntenna->m_fMinRange + fHalf;
        else if (fFreq + fHalf >= pAntenna->m_fMaxRange)
            fFreq = pAntenna->m_fMaxRange - fHalf;
        return pAntenna;
    }
    default:
        return nullptr;
    }
}

const AntennaData* KVTCharacteristics::ToNextValidFrequencyRange(EOperationMode eMode, double& fStart,
                                                                 double& fStop, double& fRealtimeBw,
                                                                 double& /*fSpan*/, EAdjustMode eAdjust)
{
    double fNewStart = fStart;
    double fNewStop = fStop;

    // Shift the range as a whole into the mode's limits; the upper limit wins.
    double fShift = 0.0;
    const double fMin = GetMinFreq(eMode);
    if (fMin > fNewStart)
        fShift = fMin - fNewStart;
    const double fMax = GetMaxFreq(eMode);
    if (fNewStop > fMax)
        fShift = fMax - fNewStop;
    fNewStart += fShift;
    fNewStop += fShift;

    const AntennaData* pLower = GetAntennaForFrequency(fNewStart, false);
    const AntennaData* pUpper = GetAntennaForFrequency(fNewStop, false);
    if (pLower != nullptr && pUpper != nullptr && pLower != pUpper)
    {
        fShift = 0.0;
        if (eAdjust == ADJUST_TO_LOWER_ANTENNA)
            fShift = pLower->m_fMaxRange - fNewStop;
        else if (eAdjust == ADJUST_TO_UPPER_ANTENNA)
            fShift = pUpper->m_fMinRange - fNewStart;
        fNewStart += fShift;
        fNewStop += fShift;
    }

    if (GetBestSampleModeDescription(eMode, fNewStart, fNewStop, fRealtimeBw) == nullptr)
        return nullptr;
    fStart = fNewStart;
    fStop = fNewStop;
    return pLower;
}
