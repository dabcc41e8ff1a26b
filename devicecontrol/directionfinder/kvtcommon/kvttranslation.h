#pragma once

#include "kvtcommon_export.h"

#include <QLocale>
#include <QString>

class QTranslator;

/// Gives the host application the library's message catalogues (contexts
/// "KVTCharacteristics", "KVTAbstractInterface", ...).
///
/// The compiled catalogues "kvtcommon_<language>.qm" are built into the
/// library as Qt resources below CatalogueDirectory() and are also installed
/// as files in <libdir>/kvtcommon/translations for hosts that load their
/// catalogues from disk. Typical use at start-up:
///
///     QTranslator translator;
///     if (KVTTranslation::Load(translator, QLocale()))
///         app.installTranslator(&translator);
///
/// The translator must outlive its installation on the application.
class KVTCOMMON_EXPORT KVTTranslation
{
public:
    /// Qt resource directory holding the compiled catalogues.
    static QString CatalogueDirectory();
    /// Loads the catalogue that best matches the locale's user-interface
    /// languages into the translator. Returns false, leaving the translator
    /// empty, when the library has no catalogue for any of them (the source
    /// texts, English, are then shown).
    static bool Load(QTranslator& translator, const QLocale& locale);
    /// The locale a language name (a host's --lang, "de", "en_GB") names;
    /// false, leaving rLocale alone, for a name QLocale does not know.
    static bool LocaleOf(const QString& language, QLocale& rLocale);
};
