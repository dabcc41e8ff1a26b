#pragma once

#include <QLocale>

class QTranslator;

/// The catalogue of the console's own texts ("kvtconsole_<language>.qm",
/// built in as a resource); the summary, the report and the library's texts
/// come from StationTranslation.
class ConsoleTranslation
{
public:
    /// False, leaving the translator empty, when there is no catalogue for
    /// the locale's languages (the English source texts are then shown).
    static bool Load(QTranslator& translator, const QLocale& locale);
};
