#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"

namespace
{
// Walks the whole map in key order so that, of several keys whose value
// matches, the last one wins.
template <typename Key, typename Value, typename Match>
Key LastKeyMatching(const QMap<Key, Value>& map, Key fallback, Match matches)
{
    Key result = fallback;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
    {
        if (matches(it.value()))
            result = it.key();
    }
    return result;
}
} // namespace

KVTCharacteristicsTools::KVTCharacteristicsTools()
    : m_mapDfMethods{{QStringLiteral("COR"), DF_METHOD_COR},
                     {QStringLiteral("COR8"), DF_METHOD_COR},
                     {QStringLiteral("COR8O"), DF_METHOD_COR},
                     {QStringLiteral("COR9"), DF_METHOD_COR},
                     {QStringLiteral("SUPR"), DF_METHOD_SUPR},
                     {QStringLiteral("VEC"), DF_METHOD_VEC},
                     {QStringLiteral("VMI"), DF_METHOD_VEC},
                     {QStringLiteral("VMR"), DF_METHOD_VEC},
                     {QStringLiteral("WAT"), DF_METHOD_WAT}}
    , m_mapPolarisationModes{{POL_LEFT, QStringLiteral("Left")},
                             {POL_RIGHT, QStringLiteral("Right")},
                             {POL_VERTICAL, QStringLiteral("Vertical")},
                             {POL_HORIZONTAL, QStringLiteral("Horizontal")}}
{
}

KVTCharacteristicsTools::KVTCharacteristicsTools(const KVTCharacteristicsTools& other) = default;

KVTCharacteristicsTools& KVTCharacteristicsTools::operator=(const KVTCharacteristicsTools& other) = default;

KVTCharacteristicsTools::~KVTCharacteristicsTools() = default;

QString KVTCharacteristicsTools::TranslateDfMethod(unsigned long method) const
{
    return LastKeyMatching(m_mapDfMethods, QStringLiteral("Unknown"),
                           [method](EKVTMethod eMethod) { return static_cast<unsigned long>(eMethod) == method; });
}

unsigned long KVTCharacteristicsTools::TranslateDfMethod(const QString& key) const
{
    return m_mapDfMethods.value(key, DF_METHOD_UNKNOWN);
}

QString KVTCharacteristicsTools::TranslatePolarisationMode(unsigned long mode) const
{
    return m_mapPolarisationModes.value(mode);
}

unsigned long KVTCharacteristicsTools::TranslatePolarisationMode(const QString& text) const
{
    return LastKeyMatching(m_mapPolarisationModes, static_cast<unsigned long>(POL_UNKNOWN),
                           [&text](const QString& strMode) { return strMode == text; });
}
