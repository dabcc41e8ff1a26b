#pragma once

#include "kvtstationlib_export.h"

#include <QLocale>
#include <QString>
#include <QTranslator>

/// The texts a station prints for people - its summary, the capability
/// report, the polar display's labels - in the language of a locale.
///
/// The station library's catalogues "kvtstation_<language>.qm" are built into
/// it as Qt resources below CatalogueDirectory() and are also installed as
/// files beside the DF library's (<libdir>/kvtcommon/translations). While an
/// object lives, the station's catalogue and the DF library's (KVTTranslation:
/// the reject reasons, the antenna setup's messages) are installed on the
/// application; a program with widgets of its own adds their catalogue. A
/// language without a catalogue keeps the English source texts. Needs the
/// application object, which must outlive it. Typical use at start-up:
///
///     const StationTranslation translation(QLocale());
class KVTSTATION_EXPORT StationTranslation
{
public:
    explicit StationTranslation(const QLocale& locale);

    /// Qt resource directory holding the station's compiled catalogues.
    static QString CatalogueDirectory();
    /// Loads the station's own catalogue that best matches the locale's
    /// user-interface languages into the translator. False, leaving the
    /// translator empty, when there is none for any of them.
    static bool Load(QTranslator& translator, const QLocale& locale);

private:
    // Each removes itself from the application when it is destroyed.
    QTranslator m_library;
    QTranslator m_station;
};
