#include "station/stationtranslation.h"

#include "devicecontrol/directionfinder/kvtcommon/kvttranslation.h"

#include <QCoreApplication>

StationTranslation::StationTranslation(const QLocale& locale)
{
    if (KVTTranslation::Load(m_library, locale))
        QCoreApplication::installTranslator(&m_library);
    if (Load(m_station, locale))
        QCoreApplication::installTranslator(&m_station);
}

QString StationTranslation::CatalogueDirectory()
{
    return QStringLiteral(":/kvtstation/translations");
}

bool StationTranslation::Load(QTranslator& translator, const QLocale& locale)
{
    return translator.load(locale, QStringLiteral("kvtstation"), QStringLiteral("_"), CatalogueDirectory());
}
