#pragma once

#include "kvthost_export.h"

#include <QString>

namespace Omek
{

/// Splits a text into tokens, one call at a time, in the manner of strtok:
/// delimiters before a token are skipped, so consecutive delimiters count as
/// one and a token is never empty. The delimiter set may change between calls.
/// Tokens are not trimmed (blanks are only delimiters when passed as such).
class KVTHOST_EXPORT Tokenizer
{
public:
    explicit Tokenizer(const QString& text);

    /// The next token up to (not including) any character of delimiters;
    /// empty once the text is exhausted. Empty delimiters give the rest of the text.
    QString operator()(const QString& delimiters);

private:
    QString m_strText;
    int m_nPos;
};

} // namespace Omek
