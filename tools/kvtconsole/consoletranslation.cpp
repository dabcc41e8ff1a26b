#include "tools/kvtconsole/consoletranslation.h"

#include <QTranslator>

bool ConsoleTranslation::Load(QTranslator& translator, const QLocale& locale)
{
    // The catalogues live in this static library, whose resource initialiser nothing else references.
    Q_INIT_RESOURCE(kvtconsole_translations);
    return translator.load(locale, QStringLiteral("kvtconsole"), QStringLiteral("_"),
                           QStringLiteral(":/kvtconsole/translations"));
}
