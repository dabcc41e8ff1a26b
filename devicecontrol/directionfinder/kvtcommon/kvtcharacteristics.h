#pragma once

#include "kvtcommon_export.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtantennadescription.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtsamplemodedescription.h"

#include "base/iobserver.h"
#include "base/observable.h"
#include "valueframework/valueclasses/value.h"

#include <QCoreApplication>
#include <QString>

#include <limits>
#include <list>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

class AntennaData;
class AntennaDataList;

namespace values
{
class Node;
class ValueSelection;
}

/// Capabilities of the connected DF device and the static device-model tables
/// they are answered from. The tables are constant and ordered: rows are read
/// in table order up to their end row.
///
/// Binds to a device node of the value tree (SetBase_ValuePath), observes the
/// device-type, channel-count, configuration-modify-time and polarisation
/// values, keeps a cache derived from them and from the antenna setup, and
/// notifies its own observers with code 3 after a watched value changed.
/// A failed query gives null, an empty set, 0.0 or -1; the library throws
/// nothing itself. Where antennas are written into the value tree (the repair,
/// MakeAntennaSetupValid, while bound) the host's ARException passes through
/// when a node cannot be created there.
/// Virtual operations call each other virtually so that a subclass can change
/// a single answer.
///
/// Copying is supported and deep: see the copy constructor.
///
/// Single-threaded: all calls, observer callbacks included, belong to the
/// value tree's thread.
class KVTCOMMON_EXPORT KVTCharacteristics : public IObserver, public Observable
{
public:
    /// How a frequency range that straddles two antennas is moved.
    enum EAdjustMode
    {
        ADJUST_TO_LOWER_ANTENNA = 0,
        ADJUST_TO_UPPER_ANTENNA = 1
    };

    using AntennaDescription = KVTAntennaDescription;
    using SampleModeDescription = KVTSampleModeDescription;

    /// Wildcard: no realtime-bandwidth restriction (compared for exact equality).
    static constexpr double fBANDWIDTH_ANY = -std::numeric_limits<double>::max();
    /// Wildcard: no frequency restriction (compared for exact equality).
    static constexpr double fFREQUENCY_ANY = -std::numeric_limits<double>::max();
    /// Channel count used when the device reports none or less than 1.
    static constexpr int MAX_CHANNEL_COUNT_DEFAULT = 60000;

    // Resolution bandwidths in Hz, ascending, each ended by -1.0.
    static const double s_aRESBWS_STD_20_2K[];
    static const double s_aRESBWS_STD_50_2K[];
    static const double s_aRESBWS_STD_50_20K[];
    static const double s_aRESBWS_STD_100_20K[];
    static const double s_aRESBWS_STD_200_20K[];
    static const double s_aRESBWS_STD_500_20K[];
    static const double s_aRESBWS_STD_500_100K[];
    static const double s_aRESBWS_STD_500_200K[];
    static const double s_aRESBWS_STD_1K_100K[];
    static const double s_aRESBWS_STD_1K_200K[];
    static const double s_aRESBWS_STD_2K_200K[];
    static const double s_aRESBWS_STD_200K_200K[];
    static const double s_aRESBWS_EXT_1K_100K[];
    static const double s_aRESBWS_EXT_1K_200K[];
    static const double s_aRESBWS_EXT_2K_200K[];
    static const double s_aRESBWS_HF_0125K_25K[];
    static const double s_aRESBWS_HF_0250K_12K[];
    static const double s_aRESBWS_VUHF_1K_200K[];
    static const double s_aRESBWS_VUHF_5K_50K[];

    /// Converters of the HF path, ended by CONV_NONE.
    static const EKVTConverter s_aHF_CONVERTERS[];
    /// Converters of the VUHF path, ended by CONV_NONE.
    static const EKVTConverter s_aVUHF_CONVERTERS[];

    /// Known antenna models, one row per sub-band; ended by a row with an empty name.
    static const AntennaDescription s_aAntennaLibrary[];
    /// Sample modes; ended by a row whose sample mode is SAMPLE_MODE_NONE.
    static const SampleModeDescription s_aSampleModeDescription[];

    Q_DECLARE_TR_FUNCTIONS(KVTCharacteristics)

public:
    /// Unbound: empty base path, empty antenna list, channel count
    /// MAX_CHANNEL_COUNT_DEFAULT, no switch frequencies, type KVT_TYPE_Q1,
    /// polarisation POL_LEFT, per-mode limits as with no antennas.
    KVTCharacteristics();

    /// Copies are deep: the copy owns its own copy of the antenna list (same
    /// order) and the cached data; when the source is bound, the copy
    /// registers itself with the same device values, so each object removes
    /// only its own registration. Observers of the source are not carried
    /// over (they registered with the source, not with the copy).
    KVTCharacteristics(const KVTCharacteristics& other);
    KVTCharacteristics& operator=(const KVTCharacteristics& other);

    /// Deregisters from all values, then deletes the antenna list.
    ~KVTCharacteristics() override;

protected:
    /// Value-tree callback: code 3 refreshes the matching cache entry (only
    /// while auto-update is on) and notifies own observers with code 3;
    /// code 2 with state 1 forgets the value; code 18 forgets the node.
    void Update(Observable* pSender, TChangeCode nCode) override;

public:
    // ---- binding and refresh -------------------------------------------
    /// Binds to the device node at strPath and refreshes the cache. Returns
    /// false when the node or a required value (device type, channel count,
    /// modify time) is missing; an unknown node unbinds completely. A value
    /// of the wrong type counts as missing and is not observed.
    virtual bool SetBase_ValuePath(const QString& strPath, bool bAutoUpdate);
    /// Re-reads antennas and every cached entry; does nothing while unbound.
    virtual void UpdateCachedDataFromValueTree();

    // ---- device and antennas ---------------------------------------------
    virtual EKVTType GetKVTType() const;
    /// Borrowed pointers into the own antenna list; null when not found.
    virtual AntennaData* GetAntennaByHandle(long nHandle);
    virtual AntennaData* GetAntennaByIndex(int nIndex);
    virtual std::set<long> GetAntennaHandles(bool bOnlyEnabled);
    /// Re-reads the polarisation value, then asks the antenna list.
    virtual AntennaData* GetAntennaForFrequency(double fFreq, bool bExactStart);
    /// Model name without one trailing "_H", "_V", "_L" or "_R"; empty for null.
    virtual QString GetAntennaDisplayName(AntennaData* pAntenna);
    /// True when some sample mode covers the antenna's whole used range.
    virtual bool IsAntennaSupportedByDevice(const AntennaData* pAntenna, EOperationMode eMode);
    /// nIndex is a list position, not a handle.
    virtual bool IsAntennaSupportedByDevice(int nIndex, EOperationMode eMode);
    virtual bool DoesAntennaSupportPolarization(long nHandle);
    virtual bool DoesAntennaSupportActivePassive(long nHandle);
    /// FREQ_RANGE_UNKNOWN for null; falls back to HF/VUHF by nominal minimum.
    virtual EFreqRange GetRangeTypeOfAntenna(const AntennaData* pAntenna, EOperationMode eMode);

    // ---- antenna setup validation ---------------------------------------
    /// pList null checks the own list. strMessage receives a translated text.
    virtual bool CheckAntennaSetupValidity(AntennaDataList* pList, QString& strMessage);
    /// Repairs the own list, writes it to the value tree and touches the
    /// modify-time value. False (list untouched) when no antenna is supported.
    /// While unbound the repaired list is kept but written nowhere.
    virtual bool MakeAntennaSetupValid(QString& strMessage);

    // ---- DF methods and polarisation -------------------------------------
    virtual std::list<EKVTPolarisation> GetAvailablePolarisationModesForFreq(double fStart, double fStop);
    /// fStop has no effect. Sets the super-resolution flag when SUPR is seen.
    virtual std::list<EKVTMethod> GetAvailableDfMethodsForFreq(double fFreq, double fStop);
    /// pAntenna must not be null (0 is returned for null).
    virtual long GetDfMethodsDetailedForAntennaAndFrequency(const AntennaData* pAntenna, double fFreq);
    virtual bool HasAntennaDFMethod(const AntennaData* pAntenna, double fFreq, EKVTMethodDetailed eMethod);

    // ---- converters and preamplifiers --------------------------------------
    virtual std::set<EKVTConverter> GetAvailableConverters();
    /// CONV_NONE when no enabled antenna covers the range.
    virtual EKVTConverter GetConverterForFrequencyRange(double fStart, double fStop);
    virtual bool IsHfConverter(EKVTConverter eConverter) const;
    virtual bool IsVuhfConverter(EKVTConverter eConverter) const;
    virtual bool IsHfPreampAvailable();
    virtual bool IsVuhfPreampAvailable();

    // ---- frequency limits and adjustments --------------------------------
    /// 25 MHz when no antenna serves the mode (on P1: clamped to 100..450 MHz,
    /// an unserved mode gives 100 MHz). Modes outside 0..15 count as unserved.
    virtual double GetMinFreq(EOperationMode eMode);
    virtual double GetMaxFreq(EOperationMode eMode);
    /// Clamps fFreq into the mode's limits (mode 2: keeps fFreq +- fSpan/2
    /// inside the antenna). Returns the antenna or null; fSpan is not changed.
    virtual const AntennaData* ToNextValidFrequency(EOperationMode eMode, double& fFreq, double& fSpan);
    /// Moves [fStart, fStop] into a servable position and writes it back only
    /// when a sample mode serves the moved range; returns the antenna of the
    /// start as clamped into the mode's limits (before the move to one
    /// antenna), null without a sample mode. fSpan is neither read nor written.
    virtual const AntennaData* ToNextValidFrequencyRange(EOperationMode eMode, double& fStart, double& fStop,
                                                         double& fRealtimeBw, double& fSpan, EAdjustMode eAdjust);

    // ---- sample modes and bandwidths --------------------------------------
    /// Smallest offered resolution bandwidth >= fRequested, capped at the
    /// largest; 0.0 without a matching sample mode.
    virtual double ToNextValidResolutionBandwidth(EOperationMode eMode, double fStart, double fStop,
                                                  double fRealtimeBw, double fRequested);
    /// Ascending; empty when no enabled antenna covers the range.
    virtual const std::set<double> GetRealtimeBandwidths(EOperationMode eMode, double fStart, double fStop) const;
    /// 0.0 without a matching sample mode.
    virtual double GetDefaultRealtimeBandwidth(EOperationMode eMode, double fStart, double fStop);
    /// Smallest offered bandwidth of at least 20 kHz, else the largest.
    virtual double GetDefaultResolutionBandwidth(EOperationMode eMode, double fStart, double fStop,
                                                 double fRealtimeBw);
    /// The best row's resolution bandwidths; empty without a matching row.
    virtual std::set<double> GetResolutionBandwidths(EOperationMode eMode, double fStart, double fStop,
                                                     double fRealtimeBw);
    /// True when a VUHF start frequency is known.
    virtual bool GetConverterSwitchFreq(double& fVuhfStart, double& fHfStop);
    virtual EFreqRange GetRangeTypeForFrequency(double fFreq);
    /// Sample mode of the best matching row, or 0xFFFFFFFF.
    virtual EKVTSampleMode GetBestSampleMode(EOperationMode eMode, double fStart, double fStop, double fRealtimeBw);
    /// Never below 1.
    virtual int GetMaxChannelCount();

    // ---- non-virtual helpers ----------------------------------------------
    bool IsSuperResolutionAvailable();
    /// Fills pSelection with the realtime bandwidths; an empty set leaves the
    /// selection untouched. Null pSelection: nothing happens.
    void UpdateHopBandwidthSelection(values::ValueSelection* pSelection, EOperationMode eMode, double fStart,
                                     double fStop, IObserver* pObserver);
    void UpdateResolutionBandwidthSelection(values::ValueSelection* pSelection, EOperationMode eMode, double fStart,
                                            double fStop, double fRealtimeBw, IObserver* pObserver);
    /// Converts a measured azimuth (tenths of a degree) to the display mode
    /// 0..3. False (azimuth untouched) when the declination or heading-source
    /// value is missing or the mode is unknown.
    bool AdjustAzimuthToDisplayMode(unsigned short& nAzimuth, int nDisplayMode);

    /// "12.5 kHz", "2 MHz", "25 Hz"; at 1e9 and above without unit.
    static QString FormatBandwidth(double fBandwidth, int nPrecision, bool bKeepTrailingZeros);
    /// Items named by method text, keyed 0, 1, 2 ... (selection owns them).
    static void FillSelectionWithDfMethods(values::ValueSelection& selection, std::list<EKVTMethod>& lstMethods,
                                           IObserver* pObserver);
    /// Items named by polarisation text, keyed by the polarisation code.
    static void FillSelectionWithPolarisationModes(values::ValueSelection& selection,
                                                   std::list<EKVTPolarisation> lstModes, IObserver* pObserver);
    /// Two attenuator steps for nKind 0 or 2, otherwise four. Null: nothing.
    static void UpdateRfAttenuatorValuesAtVT(values::ValueSelection* pSelection, int nKind, IObserver* pObserver);

private:
    bool ConnectToValues();
    void DisconnectFromValues();
    void UpdateKVTType();
    void UpdateAntennaMinMaxFreqs();
    void ConsiderAntennaForMinMaxFreqs(AntennaData* pAntenna);
    void UpdateConverterSwitchFreqs();
    void UpdateMaxChannelCount();
    void UpdatePolarisationMode();
    EKVTConverter GetConverterForTypeName(const QString& strTypeName) const;
    int ValidateAzimuthRange(int nAzimuth);

    /// Calls visit(row) for the rows matching the request until it returns
    /// true: in table order, or (bByPriority) the highest priority first and
    /// table order among equal priorities.
    template <class F>
    void ForEachMatchingSampleMode(EOperationMode eMode, EKVTConverter eConverter, double fStart, double fStop,
                                   double fRealtimeBw, bool bByPriority, F visit) const;
    const SampleModeDescription* GetBestSampleModeDescription(EOperationMode eMode, EKVTConverter eConverter,
                                                              double fStart, double fStop, double fRealtimeBw);
    const SampleModeDescription* GetBestSampleModeDescription(EOperationMode eMode, double fStart, double fStop,
                                                              double fRealtimeBw);

    void CopyStateFrom(const KVTCharacteristics& other);
    /// Forgets (and stops observing) a held value whose state is "gone".
    template <class T>
    void ForgetIfGone(T*& rpValue);
    /// The sanity limits and the P1 clamp shared by GetMinFreq and GetMaxFreq.
    double LimitFrequency(double fFreq) const;
    bool IsPreampAvailable(bool (KVTCharacteristics::*pfnIsPathConverter)(EKVTConverter) const);
    bool IsRangeSupported(EOperationMode eMode, EKVTConverter eConverter, double fMin, double fMax);

    /// Per-mode frequency tables: indexed by EOperationMode; entries below
    /// MAINTAINED_OPMODE_COUNT are refreshed, the rest keep their start values.
    static constexpr int OPMODE_TABLE_SIZE = 16;
    static constexpr int MAINTAINED_OPMODE_COUNT = 15;

    QString m_strBasePath;
    bool m_bAutoUpdate = false;
    values::Node* m_pNodeCfg = nullptr;
    values::Value<QString>* m_pCfgModifyTime = nullptr;
    values::ValueSelection* m_pDevType = nullptr;
    values::Value<int>* m_pMaxChannelCount = nullptr;
    values::ValueSelection* m_pPolarisation = nullptr;
    EKVTType m_eKVTType;
    int m_nMaxChannelCount = MAX_CHANNEL_COUNT_DEFAULT;
    std::unique_ptr<AntennaDataList> m_pAntennaList;
    EKVTPolarisation m_ePolarisationMode;
    /// The device-type and polarisation texts last translated, with their
    /// meaning: a refresh mostly finds the same texts again. An unknown type
    /// text is not kept, so that it is reported on every refresh.
    std::optional<std::pair<QString, EKVTType>> m_lastTypeText;
    std::optional<std::pair<QString, EKVTPolarisation>> m_lastPolarisationText;
    double m_afMinFreq[OPMODE_TABLE_SIZE];
    double m_afMaxFreq[OPMODE_TABLE_SIZE];
    double m_fConverterSwitchVuhfStart = 0.0;
    double m_fConverterSwitchHfStop = 0.0;
    bool m_bSuperResolutionAvailable = false;

    /// The support answers per antenna range and operation mode, for the
    /// device type and option revision they were found with: every refresh
    /// asks them again for the same antennas.
    struct SupportAnswers
    {
        EKVTConverter eConverter;
        double fMin;
        double fMax;
        quint16 nKnown;     ///< bit per operation mode: answer found
        quint16 nSupported; ///< bit per operation mode: the answer
    };
    std::vector<SupportAnswers> m_lstSupportAnswers;
    EKVTType m_eSupportAnswersType = KVT_TYPE_Q1;
    quint64 m_nSupportAnswersOptions = 0;
};
