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
// One pass, without a list of the components: a header of millions of them
// costs no more than its text.
QString SectionPathFromHeader(QStringView header)
{
    QString path;
    const auto append = [&path](QStringView component) {
        if (component.isEmpty())
            return;
        if (!path.isEmpty())
            path += QLatin1Char('/');
        path += component;
    };
    for (qsizetype start = 0; start <= header.size();) {
        qsizetype end = header.indexOf(QLatin1Char('/'), start);
        if (end < 0)
            end = header.size();
        const QStringView component = header.mid(start, end - start).trimmed();
        if (component.contains(QLatin1Char('%'))) {
            const QString decoded = CfgIniFormat::DecodeName(component.toString());
            for (const QStringRef& part : decoded.splitRef(QLatin1Char('/'), Qt::SkipEmptyParts))
                append(part);
        } else {
            append(component);
        }
        start = end + 1;
    }
    return path;
}

// The line [start, end) of bytes without its line end and without blanks around it.
QString LineText(const QByteArray& bytes, int start, int end)
{
    if (end > start && bytes.at(end - 1) == '\n')
        --end;
    return QString::fromUtf8(bytes.constData() + start, end - start).trimmed();
}

QByteArray LineEnd(const QByteArray& bytes, const CfgIniFormat::KeyLine& line)
{
    const QByteArray raw = QByteArray::fromRawData(bytes.constData() + line.nStart, line.nSize);
    if (raw.endsWith("\r\n"))
        return QByteArrayLiteral("\r\n");
    return raw.endsWith('\n') ? QByteArrayLiteral("\n") : QByteArray();
}

// The end of the block's last line that is not blank (new keys go there).
int EndOfLastText(const QByteArray& bytes, const CfgIniFormat::Block& block)
{
    int end = block.nEnd;
    while (end > block.nBodyStart) {
        // (lastIndexOf counts a negative start from the end.)
        const int start = end - 2 < block.nBodyStart ? block.nBodyStart
                                                     : qMax(block.nBodyStart, bytes.lastIndexOf('\n', end - 2) + 1);
        for (int i = start; i < end; ++i) {
            if (!QChar::isSpace(uchar(bytes.at(i))))
                return end;
        }
        end = start;
    }
    return end;
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

// Builds a file piece by piece; a last line without a line end gets one when more follows.
class LineWriter
{
public:
    explicit LineWriter(const CfgIniFormat::File& original)
    {
        m_file.bom = original.bom;
        m_file.newline = original.newline;
        m_file.bytes = original.bom;
        CfgIniFormat::Block& first = m_file.blocks.front();
        first.nStart = first.nBodyStart = first.nEnd = m_file.bytes.size();
    }

    /// Lines without keys, as they are.
    void Lines(const char* pData, int nSize) { Append(pData, nSize); }

    void KeyLine(const char* pData, int nSize, const QString& key)
    {
        const int start = Append(pData, nSize);
        m_file.blocks.back().keys.push_back(CfgIniFormat::KeyLine{start, nSize, key});
    }

    void Header(const QString& path, const char* pData, int nSize)
    {
        EndOpenLine();
        const int start = m_file.bytes.size();
        m_file.blocks.push_back(CfgIniFormat::Block{path, start, start, start, {}});
        Append(pData, nSize);
        m_file.blocks.back().nBodyStart = m_file.bytes.size();
    }

    void Key(const QString& key, const CfgIniFormat::Entry& entry, const QByteArray& end)
    {
        QString text = entry.bReadOnly ? QString(READ_ONLY_MARK) : QString();
        text += CfgIniFormat::EncodeName(key) + QLatin1Char('=') + CfgIniFormat::EscapeValue(entry.strValue);
        const QByteArray line = text.toUtf8() + end;
        KeyLine(line.constData(), line.size(), key);
    }

    void Section(const QString& path, const KeyEntries& keys)
    {
        const QByteArray header = SectionHeader(path).toUtf8() + m_file.newline;
        Header(path, header.constData(), header.size());
        for (const auto& key : keys)
            Key(key.first, key.second, m_file.newline);
    }

    void Blank() { Lines(m_file.newline.constData(), m_file.newline.size()); }

    CfgIniFormat::File Take() { return std::move(m_file); }

private:
    // Takes the piece into the bytes; returns where it starts.
    int Append(const char* pData, int nSize)
    {
        if (nSize == 0)
            return m_file.bytes.size();
        EndOpenLine();
        const int start = m_file.bytes.size();
        m_file.bytes.append(pData, nSize);
        m_file.blocks.back().nEnd = m_file.bytes.size();
        m_bLineOpen = pData[nSize - 1] != '\n';
        return start;
    }

    // Ends the previous line if it had no line end; the line (a key's or a
    // header) grows by it.
    void EndOpenLine()
    {
        if (!m_bLineOpen)
            return;
        m_bLineOpen = false;
        const int end = m_file.bytes.size();
        m_file.bytes += m_file.newline;
        CfgIniFormat::Block& block = m_file.blocks.back();
        if (!block.keys.empty() && block.keys.back().nStart + block.keys.back().nSize == end)
            block.keys.back().nSize += m_file.newline.size();
        if (block.nBodyStart == end)
            block.nBodyStart = m_file.bytes.size();
        block.nEnd = m_file.bytes.size();
    }

    CfgIniFormat::File m_file;
    bool m_bLineOpen = false;
};

// Bookkeeping that Parse counts against the memory budget, beyond the texts:
// what a key costs in the section maps and the block's list, and what a
// section costs (its block and maps), in bytes, as measured with glibc.
const qint64 KEY_COST = 192;
const qint64 SECTION_COST = 320;

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

qint64 CfgIniFormat::MemoryBudget(qint64 nBytes)
{
    return qMax(qint64(64) << 20, 4 * nBytes);
}

std::optional<CfgIniFormat::File> CfgIniFormat::Parse(const QByteArray& bytes)
{
    File file;
    file.bytes = bytes;
    int pos = bytes.startsWith(BOM) ? BOM.size() : 0;
    file.bom = bytes.left(pos);
    file.blocks.front().nStart = file.blocks.front().nBodyStart = file.blocks.front().nEnd = pos;
    const qint64 budget = MemoryBudget(bytes.size());
    qint64 spent = 0;
    while (pos < bytes.size()) {
        const int newline = bytes.indexOf('\n', pos);
        const int start = pos;
        pos = newline < 0 ? bytes.size() : newline + 1;
        if (start == file.bom.size() && newline > start && bytes.at(newline - 1) == '\r')
            file.newline = QByteArrayLiteral("\r\n");
        const QString text = LineText(bytes, start, pos);
        if (text.startsWith(QLatin1Char('['))) {
            const int close = text.lastIndexOf(QLatin1Char(']'));
            if (close > 0) {
                const QString path = SectionPathFromHeader(QStringView(text).mid(1, close - 1));
                spent += SECTION_COST + 2 * path.size();
                file.blocks.push_back(Block{path, start, pos, pos, {}});
                if (spent > budget)
                    return std::nullopt;
                continue;
            }
        } else if (!text.isEmpty() && !text.startsWith(QLatin1Char(';')) && !text.startsWith(QLatin1Char('#'))) {
            const int mark = text.startsWith(READ_ONLY_MARK) ? 1 : 0;
            const int equals = text.indexOf(QLatin1Char('='));
            const QString key = equals > mark ? DecodeName(text.mid(mark, equals - mark).trimmed()) : QString();
            if (!key.isEmpty()) {
                Entry entry{UnescapeValue(text.mid(equals + 1).trimmed()), mark == 1};
                spent += KEY_COST + 2 * (key.size() + entry.strValue.size());
                if (spent > budget)
                    return std::nullopt;
                file.sections[file.blocks.back().path][key] = std::move(entry);
                file.blocks.back().keys.push_back(KeyLine{start, pos - start, key});
            }
        }
        file.blocks.back().nEnd = pos;
    }
    return file;
}

CfgIniFormat::File CfgIniFormat::Serialize(const File& file, const Changes& changes)
{
    LineWriter writer(file);
    if (file.bytes.isEmpty()) {
        const QByteArray comment = NEW_FILE_COMMENT + file.newline;
        writer.Lines(comment.constData(), comment.size());
    }

    QHash<QString, size_t> lastBlockOf;
    QHash<QString, QSet<QString>> present; // the keys in the file of each changed section
    for (size_t b = 0; b < file.blocks.size(); ++b) {
        const Block& block = file.blocks[b];
        lastBlockOf.insert(block.path, b);
        if (!changes.contains(block.path))
            continue;
        QSet<QString>& keys = present[block.path];
        for (const KeyLine& line : block.keys)
            keys.insert(line.key);
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

    const char* const pBytes = file.bytes.constData();
    for (size_t b = 0; b < file.blocks.size(); ++b) {
        const Block& block = file.blocks[b];
        if (b > 0) {
            for (; nextNew != newSections.cend() && nextNew->first < block.path; ++nextNew) {
                writer.Section(nextNew->first, nextNew->second);
                writer.Blank();
            }
            writer.Header(block.path, pBytes + block.nStart, block.nBodyStart - block.nStart);
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
        int pos = block.nBodyStart;
        for (const KeyLine& line : block.keys) {
            writer.Lines(pBytes + pos, line.nStart - pos);
            pos = line.nStart + line.nSize;
            addUpTo(&line.key);
            if (changed == changes.cend() || !changed->contains(line.key)) {
                writer.KeyLine(pBytes + line.nStart, line.nSize, line.key);
                continue;
            }
            if (written.contains(qMakePair(block.path, line.key)))
                continue;
            written.insert(qMakePair(block.path, line.key));
            if (const std::optional<Entry>& entry = changed->constFind(line.key).value())
                writer.Key(line.key, *entry, LineEnd(file.bytes, line));
        }
        // New keys go after the last line that is not blank; no key line comes after it.
        const int anchor = qMax(pos, EndOfLastText(file.bytes, block));
        writer.Lines(pBytes + pos, anchor - pos);
        addUpTo(nullptr);
        writer.Lines(pBytes + anchor, block.nEnd - anchor);
    }
    for (; nextNew != newSections.cend(); ++nextNew) {
        writer.Blank();
        writer.Section(nextNew->first, nextNew->second);
    }
    return writer.Take();
}
