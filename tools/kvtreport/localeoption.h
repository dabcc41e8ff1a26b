#pragma once

#include <QLocale>
#include <QString>

/// The --lang option of the tools: a locale name such as "de" or "en_GB".
class LocaleOption
{
public:
    /// The locale the option names; false, with a message in rError, for a
    /// name QLocale does not know ("C" is known).
    static bool Parse(const QString& name, QLocale& rLocale, QString& rError);
};
