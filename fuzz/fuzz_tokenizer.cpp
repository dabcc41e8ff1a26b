// The host tokenizer, which splits stored lists (DF methods at ","). The
// input is a delimiter set (the first byte gives its length) and a text.
// Properties: tokens are never empty and hold no delimiter, and with one
// delimiter set the tokens are exactly the text with the delimiters taken out.
#include "base/tokenizer.h"
#include "fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t delimiterBytes = std::min<size_t>(data[0] % 8, size - 1);
    const QString delimiters = Fuzz::Text(data + 1, delimiterBytes);
    const QString text = Fuzz::Text(data + 1 + delimiterBytes, size - 1 - delimiterBytes);

    Omek::Tokenizer tokenizer(text);
    QString joined;
    int count = 0;
    for (QString token = tokenizer(delimiters); !token.isEmpty(); token = tokenizer(delimiters)) {
        FUZZ_CHECK(++count <= text.size());
        for (const QChar c : token)
            FUZZ_CHECK(!delimiters.contains(c));
        joined += token;
    }
    FUZZ_CHECK(tokenizer(delimiters).isEmpty());

    QString expected;
    for (const QChar c : text) {
        if (!delimiters.contains(c))
            expected += c;
    }
    FUZZ_CHECK(delimiters.isEmpty() ? joined == text : joined == expected);
    return 0;
}
