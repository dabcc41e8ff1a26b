#include "base/cfginiformat_p.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QStringList>

#include <utility>

namespace
{

const QChar READ_ONLY_MARK = QLatin1Char('!');
const QByteArray BOM = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray NEW_FILE_COMMENT = QByteArrayLiteral("; Lines starting with '!' hold keys locked against editing.");

bool NeedsPercent(const QString& name, int index)
{
    static const QString s_strReserved = QStringLiteral("%[]=;#!\\/\"");
    const QChar c = name.at(index);
    if (c.unicode() < 0x20 || c.unicode() == 0x7F || s_strReserved.contains(c))
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

QString SectionPathFromHeader(const QString& header)
{
    QStringList components;
    for (const QString& component : header.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        components << CfgIniFormat::DecodeName(component.trimmed());
    components.removeAll(QString());
    return components.join(QLatin1Char('/'));
}

// The line without its line end and without blanks around it.
QString LineText(const QByteArray& raw)
{
    int size = raw.size();
    if (size > 0 && raw.at(size - 1) == '\n')
        --size;
    return QString::fromUtf8(raw.constData(), size).trimmed();
}

QByteArray LineEnd(const QByteArray& raw)
{
    if (raw.endsWith("\r\n"))
        return QByteArrayLiteral("\r\n");
    return raw.endsWith('\n') ? QByteArrayLiteral("\n") : QByteArray();
}

bool HasValue(const QMap<QString, std::optional<CfgDocument::Entry>>& keys)
{
    for (const std::optional<CfgDocument::Entry>& entry : keys) {
        if (entry)
            return true;
    }
    return false;
}

// Appends lines; a last line without a line end gets one when more follows.
struct LineWriter
{
    QByteArray out;
    QByteArray newline;
    bool bLineOpen = false;

    void Append(const QByteArray& line)
    {
        if (bLineOpen)
            out += newline;
        out += line;
        bLineOpen = !line.endsWith('\n');
    }

    void Key(const QString& key, const CfgDocument::Entry& entry, const QByteArray& end)
    {
        QString text = entry.bReadOnly ? QString(READ_ONLY_MARK) : QString();
        text += CfgIniFormat::EncodeName(key) + QLatin1Char('=') + CfgIniFormat::EscapeValue(entry.strValue);
        Append(text.toUtf8() + end);
    }

    void Section(const QString& path, const QMap<QString, std::optional<CfgDocument::Entry>>& keys)
    {
        Append(SectionHeader(path).toUtf8() + newline);
        for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
            if (it.value())
                Key(it.key(), *it.value(), newline);
        }
    }
};

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
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F || (c.isSpace() && (i == 0 || i == value.size() - 1)))
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


CfgIniFormat::File CfgIniFormat::Parse(const QByteArray& bytes)
{
    File file;
    int pos = bytes.startsWith(BOM) ? BOM.size() : 0;
    file.bom = bytes.left(pos);
    file.blocks.emplace_back();
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
            if (!line.key.isEmpty()) {
                file.sections[file.blocks.back().path][line.key] =
                    CfgDocument::Entry{UnescapeValue(text.mid(equals + 1).trimmed()), mark == 1};
            }
        }
        file.blocks.back().lines.push_back(std::move(line));
    }
    return file;
}

QByteArray CfgIniFormat::Serialize(const File& file, const CfgDocument::Changes& changes)
{
    LineWriter writer{file.bom, file.newline};
    if (file.bom.isEmpty() && file.blocks.size() == 1 && file.blocks.front().lines.empty())
        writer.Append(NEW_FILE_COMMENT + file.newline);

    QHash<QString, size_t> lastBlockOf;
    for (size_t b = 0; b < file.blocks.size(); ++b)
        lastBlockOf.insert(file.blocks[b].path, b);
    QStringList newSections;
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        if (!lastBlockOf.contains(it.key()) && HasValue(it.value()))
            newSections << it.key();
    }
    auto nextNew = newSections.cbegin();
    QSet<QPair<QString, QString>> written;

    for (size_t b = 0; b < file.blocks.size(); ++b) {
        const Block& block = file.blocks[b];
        if (b > 0) {
            for (; nextNew != newSections.cend() && *nextNew < block.path; ++nextNew) {
                writer.Section(*nextNew, changes[*nextNew]);
                writer.Append(file.newline);
            }
            writer.Append(block.header);
        }
        const auto changed = changes.constFind(block.path);
        std::vector<std::pair<QString, CfgDocument::Entry>> adds;
        if (changed != changes.cend() && lastBlockOf.value(block.path) == b) {
            const CfgDocument::Section present = file.sections.value(block.path);
            for (auto it = changed->cbegin(); it != changed->cend(); ++it) {
                if (it.value() && !present.contains(it.key()))
                    adds.emplace_back(it.key(), *it.value());
            }
        }
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
            const auto change = line.key.isEmpty() || changed == changes.cend() ? nullptr : &changed.value();
            if (change == nullptr || !change->contains(line.key)) {
                writer.Append(line.raw);
                continue;
            }
            if (written.contains(qMakePair(block.path, line.key)))
                continue;
            written.insert(qMakePair(block.path, line.key));
            const std::optional<CfgDocument::Entry> entry = change->value(line.key);
            if (entry)
                writer.Key(line.key, *entry, LineEnd(line.raw));
        }
        addUpTo(nullptr);
    }
    for (; nextNew != newSections.cend(); ++nextNew) {
        writer.Append(file.newline);
        writer.Section(*nextNew, changes[*nextNew]);
    }
    return writer.out;
}
