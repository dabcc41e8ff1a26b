#include "devicecontrol/directionfinder/kvtcommon/xmlindent.h"

#include <gtest/gtest.h>

namespace
{

// The shapes where one-pass indentation could part from the document object:
// mixed content, whitespace-only text, empty elements, several attributes
// (hash order), the declaration's encoding, and text that leaves the plain
// subset halfway through (reference, comment, CDATA, non-ASCII, bad nesting).
TEST(XmlIndentTest, MatchesTheDocumentObjectOnTheShapesThatDecideTheLayout)
{
    const char* const aTexts[] = {
        "<?xml version=\"1.0\"?><a><b>t</b> <c/>tail<d q=\"1\"/>\n <e>\n x \n</e><f> </f></a>",
        "<?xml version='1.0' encoding='ISO-8859-1' ?>\n<a z=\"3\" y=\"2\" x=\"1\" w='0'><b k = \"v\" /></a>\n",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>1<b/>2<c>3</c></a>",
        "<?xml version=\"1.0\"?><a>x &amp; y</a>",
        "<?xml version=\"1.0\"?><a><!-- c --><b/></a>",
        "<?xml version=\"1.0\"?><a><![CDATA[<x>]]></a>",
        "<?xml version=\"1.0\"?><a>\xc3\xa4</a>",
        "<?xml version=\"1.0\"?><a><b></a></b>",
        "<?xml version=\"1.0\"?><a/><b/>",
        "<?xml version=\"1.0\" standalone=\"yes\"?><a/>",
        "<?xml version=\"1.1\"?><a/>",
    };
    for (const char* text : aTexts) {
        const QString strText = QString::fromUtf8(text);
        EXPECT_EQ(XmlIndent::Indented(strText), XmlIndent::IndentedByDocument(strText)) << text;
    }
    EXPECT_EQ(XmlIndent::Indented(QString::fromUtf8(aTexts[0])),
              QStringLiteral("<?xml version='1.0'?>\n<a>\n    <b>t</b>\n    <c/>tail<d q=\"1\"/>\n"
                             "    <e>\n x \n</e>\n    <f/>\n</a>\n"));
}

} // namespace
