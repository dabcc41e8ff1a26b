// The command log's one-pass XML indentation against the document object it
// replaces. The first byte chooses whether a declaration goes in front, so
// that most inputs reach the one-pass indenter; the rest is the text, valid
// XML or not. Property: both give the same text, character for character.
#include "devicecontrol/directionfinder/kvtcommon/xmlindent.h"
#include "fuzz/fuzzsupport.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const QString s_declarations[] = {QString(), QStringLiteral("<?xml version=\"1.0\"?>"),
                                             QStringLiteral("<?xml version='1.0' encoding='ISO-8859-1'?>\n")};
    const QString text = s_declarations[data[0] % 3] + Fuzz::Text(data + 1, size - 1);
    const QString indented = XmlIndent::Indented(text);
    const QString reference = XmlIndent::IndentedByDocument(text);
    if (indented != reference)
        std::fprintf(stderr, "one pass:\n%s\ndocument:\n%s\n", qPrintable(indented), qPrintable(reference));
    FUZZ_CHECK(indented == reference);
    return 0;
}
