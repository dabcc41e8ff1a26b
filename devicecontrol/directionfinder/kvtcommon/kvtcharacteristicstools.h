#pragma once

#include "kvtcommon_export.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"

#include <QMap>
#include <QString>

/// Translates DF methods and polarisation modes between the texts used in the
/// configuration store and the value tree and the codes used in the library.
///
/// Several texts name the same DF method ("COR", "COR8", "COR8O", "COR9");
/// translating a code back yields the last of them in text order, so a round
/// trip from text to code and back need not return the original text.
class KVTCOMMON_EXPORT KVTCharacteristicsTools
{
public:
    /// Fills the DF-method and the polarisation map.
    KVTCharacteristicsTools();
    KVTCharacteristicsTools(const KVTCharacteristicsTools& other);
    KVTCharacteristicsTools& operator=(const KVTCharacteristicsTools& other);
    virtual ~KVTCharacteristicsTools();

    /// Text of a DF method code: the last key in text order that maps to it,
    /// or "Unknown" when no key does.
    QString TranslateDfMethod(unsigned long method) const;
    /// Code of a DF method text (exact, case-sensitive); DF_METHOD_UNKNOWN
    /// (0xFFFFFFFF) for an unknown text.
    unsigned long TranslateDfMethod(const QString& key) const;

    /// Text of a polarisation code; empty for an unknown code.
    QString TranslatePolarisationMode(unsigned long mode) const;
    /// Code of a polarisation text (exact, case-sensitive; the last matching
    /// entry wins); POL_UNKNOWN (0xFFFFFFFF) for an unknown text.
    unsigned long TranslatePolarisationMode(const QString& text) const;

private:
    QMap<QString, EKVTMethod> m_mapDfMethods;
    QMap<unsigned long, QString> m_mapPolarisationModes;
};
