#include "base/tokenizer.h"

namespace Omek
{

Tokenizer::Tokenizer(const QString& text)
    : m_strText(text)
    , m_nPos(0)
{
}

QString Tokenizer::operator()(const QString& delimiters)
{
    const int length = m_strText.size();
    while (m_nPos < length && delimiters.contains(m_strText.at(m_nPos)))
        ++m_nPos;
    const int start = m_nPos;
    while (m_nPos < length && !delimiters.contains(m_strText.at(m_nPos)))
        ++m_nPos;
    return m_strText.mid(start, m_nPos - start);
}

} // namespace Omek
