#include "devicecontrol/directionfinder/kvtcommon/kvttranslation.h"

#include <QTranslator>

QString KVTTranslation::CatalogueDirectory()
{
    return QStringLiteral(":/kvtcommon/translations");
}

bool KVTTranslation::Load(QTranslator& translator, const QLocale& locale)
{
    return translator.load(locale, QStringLiteral("kvtcommon"), QStringLiteral("_"), CatalogueDirectory());
}

bool KVTTranslation::LocaleOf(const QString& language, QLocale& rLocale)
{
    const QLocale locale(language);
    // QLocale falls back to "C" for a name it does not know.
    if (locale.language() == QLocale::C && language != QLatin1String("C"))
        return false;
    rLocale = locale;
    return true;
}
