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
