#include "devicecontrol/directionfinder/kvtcommon/xmlindent.h"

#include <QDomDocument>
#include <QHash>
#include <QVector>

#include <algorithm>
#include <utility>

namespace
{

const int INDENT = 4;
// Deeper documents take the document path; this one keeps its stack small.
const int MAX_DEPTH = 256;

bool IsSpace(ushort c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool IsNameStart(ushort c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsNameChar(ushort c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// One pass over a document of the plain subset, writing what the document
// object would write. Any construct outside the subset (references, CDATA,
// comments, processing instructions, DOCTYPE, carriage returns, non-ASCII,
// namespaces, "]" in data, unknown encodings) stops it with false; the
// caller then asks the document object. Within the subset the rules are the
// document's: whitespace-only text is dropped, an element without children
// closes with "/>", a text child keeps its element on one line, attributes
// come in the order of a hash filled as the document fills its own (only
// two or more need one).
class PlainIndenter
{
public:
    explicit PlainIndenter(const QString& text)
        : m_p(reinterpret_cast<const ushort*>(text.constData()))
        , m_end(m_p + text.size())
    {
        m_out.reserve(text.size() * 2);
    }

    bool Run(QString& rOut)
    {
        if (!Declaration() || !Element())
            return false;
        SkipSpace();
        if (m_p != m_end)
            return false;
        rOut = std::move(m_out);
        return true;
    }

private:
    bool Literal(const char* literal)
    {
        const ushort* p = m_p;
        for (; *literal; ++literal, ++p)
            if (p == m_end || *p != static_cast<uchar>(*literal))
                return false;
        m_p = p;
        return true;
    }

    void SkipSpace()
    {
        while (m_p < m_end && IsSpace(*m_p))
            ++m_p;
    }

    bool Name(QString& rName)
    {
        const ushort* pStart = m_p;
        if (m_p == m_end || !IsNameStart(*m_p))
            return false;
        while (m_p < m_end && IsNameChar(*m_p))
            ++m_p;
        rName = QString(reinterpret_cast<const QChar*>(pStart), static_cast<int>(m_p - pStart));
        return true;
    }

    // A quoted value of printable ASCII without markup, quotes or "]".
    bool Quoted(QString& rValue)
    {
        if (m_p == m_end || (*m_p != '"' && *m_p != '\''))
            return false;
        const ushort quote = *m_p++;
        const ushort* pStart = m_p;
        for (; m_p < m_end && *m_p != quote; ++m_p)
            if (*m_p < 0x20 || *m_p > 0x7e || *m_p == '<' || *m_p == '&' || *m_p == '"' || *m_p == '\''
                || *m_p == ']')
                return false;
        if (m_p == m_end)
            return false;
        rValue = QString(reinterpret_cast<const QChar*>(pStart), static_cast<int>(m_p - pStart));
        ++m_p;
        return true;
    }

    // <?xml version="1.0" [encoding="..."]?> at the very start, written as
    // the document writes its declaration.
    bool Declaration()
    {
        QString version;
        if (!Literal("<?xml") || m_p == m_end || !IsSpace(*m_p))
            return false;
        SkipSpace();
        if (!Literal("version") || !Equals() || !Quoted(version) || version != QLatin1String("1.0"))
            return false;
        m_out += QLatin1String("<?xml version='1.0'");
        const ushort* pBefore = m_p;
        SkipSpace();
        if (m_p != pBefore && Literal("encoding")) {
            QString encoding;
            if (!Equals() || !Quoted(encoding)
                || (encoding != QLatin1String("UTF-8") && encoding != QLatin1String("ISO-8859-1")))
                return false;
            m_out += QLatin1String(" encoding='") + encoding + QLatin1Char('\'');
            SkipSpace();
        }
        if (!Literal("?>"))
            return false;
        m_out += QLatin1String("?>\n");
        return true;
    }

    bool Equals()
    {
        SkipSpace();
        if (!Literal("="))
            return false;
        SkipSpace();
        return true;
    }

    void Indent(int nDepth)
    {
        const int nSize = m_out.size();
        m_out.resize(nSize + nDepth * INDENT);
        std::fill(m_out.begin() + nSize, m_out.end(), QLatin1Char(' '));
    }

    // Text up to the next "<": significant when not whitespace only.
    bool Text(const ushort*& rpStart, bool& rbSignificant)
    {
        rpStart = m_p;
        rbSignificant = false;
        for (; m_p < m_end && *m_p != '<'; ++m_p) {
            const ushort c = *m_p;
            if ((c < 0x20 && c != '\t' && c != '\n') || c > 0x7e || c == '&' || c == ']')
                return false;
            rbSignificant = rbSignificant || !IsSpace(c);
        }
        return m_p < m_end;
    }

    // Start tag after "<": name and attributes; true with rbEmpty for "/>".
    bool StartTag(QString& rName, bool& rbEmpty)
    {
        if (!Name(rName))
            return false;
        QVector<std::pair<QString, QString>> attributes;
        for (;;) {
            const ushort* pBefore = m_p;
            SkipSpace();
            if (Literal(">")) {
                rbEmpty = false;
                break;
            }
            if (Literal("/>")) {
                rbEmpty = true;
                break;
            }
            QString name;
            QString value;
            if (m_p == pBefore || !Name(name) || !Equals() || !Quoted(value))
                return false;
            attributes.append({name, value});
        }
        m_out += QLatin1Char('<');
        m_out += rName;
        if (attributes.size() < 2) {
            for (const auto& attribute : attributes)
                Attribute(attribute.first, attribute.second);
            return true;
        }
        QHash<QString, QString> ordered;
        for (const auto& attribute : attributes) {
            if (ordered.contains(attribute.first))
                return false;
            ordered.insert(attribute.first, attribute.second);
        }
        for (auto it = ordered.cbegin(); it != ordered.cend(); ++it)
            Attribute(it.key(), it.value());
        return true;
    }

    void Attribute(const QString& name, const QString& value)
    {
        m_out += QLatin1Char(' ');
        m_out += name;
        m_out += QLatin1String("=\"");
        m_out += value;
        m_out += QLatin1Char('"');
    }

    // The root element with everything in it, without recursion.
    bool Element()
    {
        const ushort* pText = nullptr;
        bool bSignificant = false;
        if (!Text(pText, bSignificant) || bSignificant)
            return false;
        QVector<QString> stack;
        // What the last written node leaves open: a start tag that may still
        // become "/>", or the line end after a closed element.
        enum class Open { Nothing, StartTag, LineEnd } open = Open::Nothing;
        for (;;) {
            ++m_p; // "<"
            if (m_p < m_end && *m_p == '/') {
                ++m_p;
                QString name;
                if (stack.isEmpty() || !Name(name) || name != stack.constLast())
                    return false;
                SkipSpace();
                if (!Literal(">"))
                    return false;
                stack.removeLast();
                if (open == Open::StartTag)
                    m_out += QLatin1String("/>");
                else {
                    if (open == Open::LineEnd)
                        m_out += QLatin1Char('\n');
                    if (open != Open::Nothing)
                        Indent(stack.size());
                    m_out += QLatin1String("</");
                    m_out += name;
                    m_out += QLatin1Char('>');
                }
                open = Open::LineEnd;
            } else {
                if (stack.size() >= MAX_DEPTH)
                    return false;
                if (open == Open::StartTag)
                    m_out += QLatin1String(">\n");
                else if (open == Open::LineEnd)
                    m_out += QLatin1Char('\n');
                if (open != Open::Nothing || stack.isEmpty())
                    Indent(stack.size());
                QString name;
                bool bEmpty = false;
                if (!StartTag(name, bEmpty))
                    return false;
                if (bEmpty)
                    m_out += QLatin1String("/>");
                else
                    stack.append(name);
                open = bEmpty ? Open::LineEnd : Open::StartTag;
            }
            if (stack.isEmpty())
                break;
            if (!Text(pText, bSignificant))
                return false;
            if (bSignificant) {
                if (open == Open::StartTag)
                    m_out += QLatin1Char('>');
                m_out.append(reinterpret_cast<const QChar*>(pText), static_cast<int>(m_p - pText));
                open = Open::Nothing;
            }
        }
        m_out += QLatin1Char('\n');
        return true;
    }

    const ushort* m_p;
    const ushort* const m_end;
    QString m_out;
};

} // namespace

namespace XmlIndent
{

QString Indented(const QString& text)
{
    QString strIndented;
    return PlainIndenter(text).Run(strIndented) ? strIndented : IndentedByDocument(text);
}

QString IndentedByDocument(const QString& text)
{
    QDomDocument document;
    const QString strIndented = document.setContent(text.toLatin1()) ? document.toString(INDENT) : QString();
    return strIndented.isEmpty() ? text : strIndented;
}

} // namespace XmlIndent
