#pragma once

#include "base/cfgdocument_p.h"

#include <QByteArray>
#include <QString>

/// Reads and writes the INI text of a configuration file.
///
/// Layout: keys of the top section come first, without a header; every other
/// section follows as "[Outer/Inner]" and its "Key=Value" lines. A line
/// "!Key=Value" marks a locked key. Section names and keys are UTF-8 with
/// the characters that carry meaning here (and control characters, leading
/// or trailing blanks) percent-encoded; values use backslash escapes (\\ \n \r
/// \t, \s for a blank at either end, \uHHHH for other control characters
/// and for half surrogate pairs).
/// Lines starting with ";" or "#" are comments. Unreadable lines are skipped.
class CfgIniFormat
{
public:
    static QByteArray Serialize(const CfgDocument::Sections& sections);
    static CfgDocument::Sections Parse(const QByteArray& text);

    static QString EncodeName(const QString& name);
    static QString DecodeName(const QString& text);
    static QString EscapeValue(const QString& value);
    static QString UnescapeValue(const QString& text);
};
