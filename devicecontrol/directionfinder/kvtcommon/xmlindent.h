#pragma once

#include <QString>

/// XML re-indentation for the command log: four spaces per level, byte for
/// byte what QDomDocument::toString(4) writes after QDomDocument::setContent
/// of the Latin-1 bytes. Library-internal. The document writes attributes in
/// the order of its hash, which is seeded per process: the result equals the
/// document object's within one process, not necessarily across processes.
namespace XmlIndent
{

/// The indented document; text itself when it does not parse or serialises
/// to nothing. Plain documents (elements, at most a declaration naming
/// version 1.0 and a Latin-1 compatible encoding, attributes and text
/// without references, ASCII only) are indented in one pass; everything
/// else goes through a document object.
QString Indented(const QString& text);

/// The same result, always through a document object.
QString IndentedByDocument(const QString& text);

} // namespace XmlIndent
