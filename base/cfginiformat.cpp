#include "base/cfginiformat_p.h"

#include <QStringList>

namespace
{

const QChar READ_ONLY_MARK = QLatin1Char('!');

bool NeedsPercent(const QString& name, int index)
{
    static const QString s_strReserved = QStringLiteral("%[]=;#!\\/\"");
    const QChar c = name.at(index);
    if (c.unicode() < 0x20 || c.unicode() == 0x7F || s_strReserved.contains(c))
        return true;
    return c.isSpace() && (index == 0 || index == name.size() - 1);
}

// UTF-8 has no form for half a surrogate pair (a backslash-u escape read
// from a file can make one), so it is written as an escape again.
bool IsLoneSurrogate(const QString& text, int index)
{
    const QChar c = text.at(index);
    if (c.isHighSurrogate())
        return index + 1 == text.size() || !text.at(index + 1).isLowSurrogate();
    return c.isLowSurrogate() && (index == 0 || !text.at(index - 1).isHighSurrogate());
}

QString SectionHeader(const QString& path)
{
    QStringList encoded;
    for (const QString& component : path.split(QLatin1Char('/')))
        encoded << CfgIniFormat::EncodeName(component);
    return QLatin1Char('[') + encoded.join(QLatin1Char('/')) + QLatin1Char(']');
}

// A hand-written "%2F" decodes to "/", which only ever separates sections:
// it is read as a separator, so that every section stays reachable by name.
QString SectionPathFromHeader(const QString& header)
{
    QStringList components;
    for (const QString& component : header.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        components << CfgIniFormat::DecodeName(component.trimmed()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return components.join(QLatin1Char('/'));
}

} // namespace

QString CfgIniFormat::EncodeName(const QString& name)
{
    QString result;
    for (int i = 0; i < name.size(); ++i) {
        if (!NeedsPercent(name, i)) {
            result += name.at(i);
            continue;
        }
        const QByteArray bytes = QString(name.at(i)).toUtf8();
        for (char byte : bytes)
            result += QStringLiteral("%%1").arg(static_cast<uchar>(byte), 2, 16, QLatin1Char('0')).toUpper();
    }
    return result;
}

QString CfgIniFormat::DecodeName(const QString& text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

QString CfgIniFormat::EscapeValue(const QString& value)
{
    QString result;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            result += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            result += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            result += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            result += QLatin1String("\\t");
        else if (c == QLatin1Char(' ') && (i == 0 || i == value.size() - 1))
            result += QLatin1String("\\s");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F || (c.isSpace() && (i == 0 || i == value.size() - 1))
                 || IsLoneSurrogate(value, i))
            result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}

QString CfgIniFormat::UnescapeValue(const QString& text)
{
    QString result;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            result += c;
            continue;
        }
        const QChar code = text.at(++i);
        const QString hex = text.mid(i + 1, 4);
        bool ok = false;
        const ushort unicode = code == QLatin1Char('u') && hex.size() == 4 ? hex.toUShort(&ok, 16) : 0;
        if (ok) {
            result += QChar(unicode);
            i += 4;
        } else if (code == QLatin1Char('n')) {
            result += QLatin1Char('\n');
        } else if (code == QLatin1Char('r')) {
            result += QLatin1Char('\r');
        } else if (code == QLatin1Char('t')) {
            result += QLatin1Char('\t');
        } else if (code == QLatin1Char('s')) {
            result += QLatin1Char(' ');
        } else {
            result += code;
        }
    }
    return result;
}

QByteArray CfgIniFormat::Serialize(const CfgDocument::Sections& sections)
{
    QString text = QStringLiteral("; Lines starting with '!' hold keys locked against editing.\n");
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        if (section.value().isEmpty())
            continue;
        if (!section.key().isEmpty())
            text += QLatin1Char('\n') + SectionHeader(section.key()) + QLatin1Char('\n');
        for (auto entry = section.value().cbegin(); entry != section.value().cend(); ++entry) {
            if (entry.value().bReadOnly)
                text += READ_ONLY_MARK;
            text += EncodeName(entry.key()) + QLatin1Char('=') + EscapeValue(entry.value().strValue)
                + QLatin1Char('\n');
        }
    }
    return text.toUtf8();
}

CfgDocument::Sections CfgIniFormat::Parse(const QByteArray& text)
{
    CfgDocument::Sections sections;
    QString section;
    for (const QString& rawLine : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int end = line.lastIndexOf(QLatin1Char(']'));
            if (end > 0)
                section = SectionPathFromHeader(line.mid(1, end - 1));
            continue;
        }
        const bool readOnly = line.startsWith(READ_ONLY_MARK);
        if (readOnly)
            line.remove(0, 1);
        const int equals = line.indexOf(QLatin1Char('='));
        const QString key = equals > 0 ? DecodeName(line.left(equals).trimmed()) : QString();
        if (key.isEmpty())
            continue;
        sections[section][key] = CfgDocument::Entry{UnescapeValue(line.mid(equals + 1).trimmed()), readOnly};
    }
    return sections;
}
