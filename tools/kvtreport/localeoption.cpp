#include "tools/kvtreport/localeoption.h"

bool LocaleOption::Parse(const QString& name, QLocale& rLocale, QString& rError)
{
    const QLocale locale(name);
    // QLocale falls back to "C" for a name it does not know.
    if (locale.language() == QLocale::C && name != QLatin1String("C")) {
        rError = QStringLiteral("Unknown language \"%1\".").arg(name);
        return false;
    }
    rLocale = locale;
    return true;
}
