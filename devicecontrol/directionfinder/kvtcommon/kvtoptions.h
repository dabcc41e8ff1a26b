#pragma once

#include "kvtcommon_export.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"

#include <QMap>
#include <QString>

#include <memory>

class IObserver;

/// One row of the option-code table: a code as the device reports it and the
/// option it names. The table ends with a row whose option is eOptNone.
struct KVTOptionEntry
{
    const char* m_szName;
    EKVTOptions m_eOption;
};

/// The options installed in the connected direction finder, each with the
/// number of times it was added. The device reports them as a ";"-separated
/// list of option codes (case-sensitive, e.g. "KVT-CL;KVTN-HF").
///
/// Process-wide singleton: Instance() creates it on first use, Finalise()
/// deletes it. Not thread-safe: use it from the value-tree thread only.
class KVTCOMMON_EXPORT KVTOptions
{
public:
    KVTOptions(const KVTOptions& other) = default;
    KVTOptions& operator=(const KVTOptions& other);
    virtual ~KVTOptions();

    /// The process-wide set, created empty on first use.
    static KVTOptions* Instance();
    /// Deletes the process-wide set; the next Instance() starts empty.
    static void Finalise();
    /// Changes whenever any option set changes or the process-wide one is
    /// replaced, so that answers derived from the options can be kept until then.
    static quint64 Revision() { return s_nRevision; }

    /// Counts one more installation of e; eOptNone is ignored.
    void AddOption(EKVTOptions e);
    /// Removes e whatever its count.
    void RemoveOption(EKVTOptions e);
    void ClearAllOptions();
    /// True when e is installed; always true for eOptNone (nothing required).
    bool HasOption(EKVTOptions e) const;
    /// How often e was added; 0 when it is not installed.
    int GetOptionCount(EKVTOptions e) const;

    /// Adds the option of an option code (aliases such as "KVTU-HF" included);
    /// false, adding nothing, for an unknown code.
    bool AddOptionByName(const QString& name);
    /// Adds the codes of a ";"-separated list from left to right and stops
    /// after the first piece that is no known code (pieces are not trimmed;
    /// an empty piece is unknown). True only when every piece was known, so
    /// an empty text or a trailing ";" gives false.
    bool AddOptionsFromString(const QString& list);
    /// The installed options in ascending option order, each code repeated
    /// by its count, joined by ";"; aliases come out under their first code.
    QString GetOptionsAsString() const;

    /// Replaces the set by the list held in the string value at path. False,
    /// leaving the set unchanged, when there is no string value there;
    /// otherwise the result of AddOptionsFromString.
    bool ReadFromValueTree(const QString& path);
    /// Sets the string value at path to GetOptionsAsString(), with pObserver
    /// as the sender of the change. False when there is no string value there.
    bool WriteToValueTree(const QString& path, IObserver* pObserver) const;
    /// Writes GetOptionsAsString() to the key "DevOptions" of the current
    /// station's configuration (created if needed). False when the station
    /// configuration cannot be had.
    bool WriteToCfg();

    /// Option codes in lookup order, ended by a row with eOptNone.
    static const KVTOptionEntry s_aOptionEntries[];

private:
    KVTOptions() = default;

    static QString GetNameForOption(EKVTOptions e);
    static EKVTOptions GetOptionForName(const QString& name);

    static std::unique_ptr<KVTOptions> s_pInstance;
    static quint64 s_nRevision;

    QMap<EKVTOptions, qint32> m_mapOptions;
};
