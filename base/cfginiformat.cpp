#include "base/cfginiformat_p.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace
{

const QChar READ_ONLY_MARK = QLatin1Char('!');
const QByteArray BOM = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray NEW_FILE_COMMENT = QByteArrayLiteral("; Lines starting with '!' hold keys locked against editing.");

// UTF-8 has no form for half a surrogate pair (a backslash-u escape read
// from a file can make one): values write it as an escape again, names as
// the three bytes of its code (NameToUtf8).
bool IsLoneSurrogate(const QString& text, int index)
{
    const QChar c = text.at(index);
    if (c.isHighSurrogate())
        return index + 1 == text.size() || !text.at(index + 1).isLowSurrogate();
    return c.isLowSurrogate() && (index == 0 || !text.at(index - 1).isHighSurrogate());
}

bool NeedsPercent(const QString& name, int index)
{
    static const QString s_strReserved = QStringLiteral("%[]=;#!\\/\"");
    const QChar c = name.at(index);
    if (c.unicode() < 0x20 || c.unicode() == 0x7F || s_strReserved.contains(c) || IsLoneSurrogate(name, index))
        return true;
    return c.isSpace() && (index == 0 || index == name.size() - 1);
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

// The line without its line end and without blanks around it.
QString LineText(const QByteArray& raw)
{
    const int size = raw.endsWith('\n') ? raw.size() - 1 : raw.size();
    return QString::fromUtf8(raw.constData(), size).trimmed();
}

QByteArray LineEnd(const QByteArray& raw)
{
    if (raw.endsWith("\r\n"))
        return QByteArrayLiteral("\r\n");
    return raw.endsWith('\n') ? QByteArrayLiteral("\n") : QByteArray();
}

using KeyEntries = std::vector<std::pair<QString, CfgIniFormat::Entry>>;

// The changed keys that get a value and are not among present, in key order.
KeyEntries NewKeys(const QHash<QString, std::optional<CfgIniFormat::Entry>>& changed, const QSet<QString>& present)
{
    KeyEntries keys;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it) {
        if (it.value() && !present.contains(it.key()))
            keys.emplace_back(it.key(), *it.value());
    }
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return keys;
}

// Builds a file line by line; a last line without a line end gets one when more follows.
class LineWriter
{
public:
    explicit LineWriter(const CfgIniFormat::File& original)
    {
        m_file.bom = original.bom;
        m_file.newline = original.newline;
        m_file.bytes = original.bom;
    }

    void Line(const QByteArray& raw, const QString& key)
    {
        EndOpenLine(raw);
        m_file.blocks.back().lines.push_back(CfgIniFormat::Line{raw, key});
    }

    void Header(const QString& path, const QByteArray& raw)
    {
        EndOpenLine(raw);
        m_file.blocks.push_back(CfgIniFormat::Block{path, raw, {}});
    }

    void Key(const QString& key, const CfgIniFormat::Entry& entry, const QByteArray& end)
    {
        QString text = entry.bReadOnly ? QString(READ_ONLY_MARK) : QString();
        text += CfgIniFormat::EncodeName(key) + QLatin1Char('=') + CfgIniFormat::EscapeValue(entry.strValue);
        Line(text.toUtf8() + end, key);
    }

    void Section(const QString& path, const KeyEntries& keys)
    {
        Header(path, SectionHeader(path).toUtf8() + m_file.newline);
        for (const auto& key : keys)
            Key(key.first, key.second, m_file.newline);
    }

    void Blank() { Line(m_file.newline, QString()); }

    CfgIniFormat::File Take() { return std::move(m_file); }

private:
    // Ends the previous line if it had no line end, then takes next into the bytes.
    void EndOpenLine(const QByteArray& next)
    {
        if (m_bLineOpen) {
            CfgIniFormat::Block& block = m_file.blocks.back();
            (block.lines.empty() ? block.header : block.lines.back().raw) += m_file.newline;
            m_file.bytes += m_file.newline;
        }
        m_file.bytes += next;
        m_bLineOpen = !next.endsWith('\n');
    }

    CfgIniFormat::File m_file;
    bool m_bLineOpen = false;
};

} // namespace

QByteArray CfgIniFormat::NameToUtf8(const QString& name)
{
    QByteArray bytes;
    int start = 0;
    for (int i = 0; i < name.size(); ++i) {
        if (!IsLoneSurrogate(name, i))
            continue;
        const ushort code = name.at(i).unicode();
        bytes += name.midRef(start, i - start).toUtf8();
        bytes += char(0xE0 | (code >> 12));
        bytes += char(0x80 | ((code >> 6) & 0x3F));
        bytes += char(0x80 | (code & 0x3F));
        start = i + 1;
    }
    return bytes + name.midRef(start).toUtf8();
}

QString CfgIniFormat::NameFromUtf8(const QByteArray& bytes)
{
    QString name;
    int start = 0;
    for (int i = 0; i + 2 < bytes.size(); ++i) {
        const auto b0 = uchar(bytes.at(i));
        const auto b1 = uchar(bytes.at(i + 1));
        const auto b2 = uchar(bytes.at(i + 2));
        if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80)
            continue;
        name += QString::fromUtf8(bytes.constData() + start, i - start);
        name += QChar(ushort(0xD000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F)));
        start = i + 3;
        i += 2;
    }
    return name + QString::fromUtf8(bytes.constData() + start, bytes.size() - start);
}

// Most names and values need no escaping: they are taken as they are.
QString CfgIniFormat::EncodeName(const QString& name)
{
    int i = 0;
    while (i < name.size() && !NeedsPercent(name, i))
        ++i;
    if (i == name.size())
        return name;
    QString result = name.left(i);
    for (; i < name.size(); ++i) {
        if (!NeedsPercent(name, i)) {
            result += name.at(i);
            continue;
        }
        for (char byte : NameToUtf8(QString(name.at(i))))
            result += QStringLiteral("%%1").arg(static_cast<uchar>(byte), 2, 16, QLatin1Char('0')).toUpper();
    }
    return result;
}

QString CfgIniFormat::DecodeName(const QString& text)
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    return NameFromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

QString CfgIniFormat::EscapeValue(const QString& value)
{
    const auto needsEscape = [&value](int i) {
        const QChar c = value.at(i);
        return c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F
            || (c.isSpace() && (i == 0 || i == value.size() - 1)) || IsLoneSurrogate(value, i);
    };
    int i = 0;
    while (i < value.size() && !needsEscape(i))
        ++i;
    if (i == value.size())
        return value;
    QString result = value.left(i);
    for (; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (!needsEscape(i))
            result += c;
        else if (c == QLatin1Char('\\'))
            result += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            result += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            result += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            result += QLatin1String("\\t");
        else if (c == QLatin1Char(' '))
            result += QLatin1String("\\s");
        else
            result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return result;
}

QString CfgIniFormat::UnescapeValue(const QString& text)
{
    int i = text.indexOf(QLatin1Char('\\'));
    if (i < 0)
        return text;
    QString result = text.left(i);
    for (; i < text.size(); ++i) {
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

CfgIniFormat::File CfgIniFormat::Parse(const QByteArray& bytes)
{
    File file;
    file.bytes = bytes;
    int pos = bytes.startsWith(BOM) ? BOM.size() : 0;
    file.bom = bytes.left(pos);
    while (pos < bytes.size()) {
        const int newline = bytes.indexOf('\n', pos);
        const int end = newline < 0 ? bytes.size() : newline + 1;
        Line line{bytes.mid(pos, end - pos), QString()};
        if (pos == file.bom.size() && line.raw.endsWith("\r\n"))
            file.newline = QByteArrayLiteral("\r\n");
        pos = end;
        const QString text = LineText(line.raw);
        if (text.startsWith(QLatin1Char('['))) {
            const int close = text.lastIndexOf(QLatin1Char(']'));
            if (close > 0) {
                file.blocks.push_back(Block{SectionPathFromHeader(text.mid(1, close - 1)), line.raw, {}});
                continue;
            }
        } else if (!text.isEmpty() && !text.startsWith(QLatin1Char(';')) && !text.startsWith(QLatin1Char('#'))) {
            const int mark = text.startsWith(READ_ONLY_MARK) ? 1 : 0;
            const int equals = text.indexOf(QLatin1Char('='));
            if (equals > mark)
                line.key = DecodeName(text.mid(mark, equals - mark).trimmed());
            if (!line.key.isEmpty())
                file.sections[file.blocks.back().path][line.key] = Entry{UnescapeValue(text.mid(equals + 1).trimmed()), mark == 1};
        }
        file.blocks.back().lines.push_back(std::move(line));
    }
    return file;
}

CfgIniFormat::File CfgIniFormat::Serialize(const File& file, const Changes& changes)
{
    LineWriter writer(file);
    if (file.bytes.isEmpty())
        writer.Line(NEW_FILE_COMMENT + file.newline, QString());

    QHash<QString, size_t> lastBlockOf;
    QHash<QString, QSet<QString>> present; // the keys in the file of each changed section
    for (size_t b = 0; b < file.blocks.size(); ++b) {
        const Block& block = file.blocks[b];
        lastBlockOf.insert(block.path, b);
        if (!changes.contains(block.path))
            continue;
        QSet<QString>& keys = present[block.path];
        for (const Line& line : block.lines) {
            if (!line.key.isEmpty())
                keys.insert(line.key);
        }
    }
    std::vector<std::pair<QString, KeyEntries>> newSections;
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        KeyEntries keys = lastBlockOf.contains(it.key()) ? KeyEntries() : NewKeys(it.value(), QSet<QString>());
        if (!keys.empty())
            newSections.emplace_back(it.key(), std::move(keys));
    }
    std::sort(newSections.begin(), newSections.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    auto nextNew = newSections.cbegin();
    QSet<QPair<QString, QString>> written;

    for (size_t b = 0; b < file.blocks.size(); ++b) {
        const Block& block = file.blocks[b];
        if (b > 0) {
            for (; nextNew != newSections.cend() && nextNew->first < block.path; ++nextNew) {
                writer.Section(nextNew->first, nextNew->second);
                writer.Blank();
            }
            writer.Header(block.path, block.header);
        }
        const auto changed = changes.constFind(block.path);
        const KeyEntries adds = changed != changes.cend() && lastBlockOf.value(block.path) == b
            ? NewKeys(changed.value(), present.value(block.path))
            : KeyEntries();
        auto add = adds.cbegin();
        const auto addUpTo = [&](const QString* before) {
            for (; add != adds.cend() && (before == nullptr || add->first < *before); ++add)
                writer.Key(add->first, add->second, file.newline);
        };
        // New keys go after the last line that is not blank.
        size_t anchor = block.lines.size();
        while (anchor > 0 && block.lines[anchor - 1].key.isEmpty() && block.lines[anchor - 1].raw.trimmed().isEmpty())
            --anchor;
        for (size_t i = 0; i < block.lines.size(); ++i) {
            if (i == anchor)
                addUpTo(nullptr);
            const Line& line = block.lines[i];
            if (!line.key.isEmpty())
                addUpTo(&line.key);
            if (line.key.isEmpty() || changed == changes.cend()) {
                writer.Line(line.raw, line.key);
                continue;
            }
            const auto change = changed->constFind(line.key);
            if (change == changed->cend()) {
                writer.Line(line.raw, line.key);
                continue;
            }
            if (written.contains(qMakePair(block.path, line.key)))
                continue;
            written.insert(qMakePair(block.path, line.key));
            if (change.value())
                writer.Key(line.key, *change.value(), LineEnd(line.raw));
        }
        addUpTo(nullptr);
    }
    for (; nextNew != newSections.cend(); ++nextNew) {
        writer.Blank();
        writer.Section(nextNew->first, nextNew->second);
    }
    return writer.Take();
}
