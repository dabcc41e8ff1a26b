#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

/// Reads and writes the INI text of a configuration file.
///
/// Layout: keys of the top section come first, without a header; every other
/// section follows as "[Outer/Inner]" and its "Key=Value" lines. A line
/// "!Key=Value" marks a locked key. Section names and keys are UTF-8 with
/// the characters that carry meaning here (and control characters, NUL
/// included, leading or trailing blanks, and half surrogate pairs as the
/// three bytes their code would take) percent-encoded; values use backslash escapes (\\ \n \r
/// \t, \s for a blank at either end, \uHHHH for other control characters
/// and for half surrogate pairs).
/// Lines starting with ";" or "#" are comments. Lines that hold no key are
/// kept but mean nothing; when a key appears twice in a section the last
/// line counts.
///
/// A file is kept as the bytes of its lines so that a save changes nothing
/// but the lines of the changed keys: comments, unknown lines, a NUL, bytes
/// that are not UTF-8, CRLF line ends and a byte order mark are written back
/// as read. New keys go into the last block of their section, new sections
/// before the first section that sorts after them, so a sorted file stays
/// sorted; added lines end like the file's first line. Both directions take
/// time linear in the size of the file, and memory too: only the lines that
/// hold a key are listed, by their place in the bytes.
class CfgIniFormat
{
public:
    struct Entry
    {
        QString strValue;
        bool bReadOnly = false;
    };
    /// Keys and entries of a section, and sections by path (the section names
    /// joined by "/"; the top section is "").
    using Section = QMap<QString, Entry>;
    using Sections = QMap<QString, Section>;
    /// Changed keys by section path with their new entries; no entry for a
    /// removed key.
    using Changes = QHash<QString, QHash<QString, std::optional<Entry>>>;

    /// A line that holds a key: where it lies in File::bytes, with its line end.
    struct KeyLine
    {
        int nStart;
        int nSize;
        QString key;
    };
    /// A section header and the lines up to the next one, as a range of
    /// File::bytes; only the lines that hold a key are listed, the others are
    /// the bytes between them. The first block holds the lines before any
    /// header and has no header (nStart == nBodyStart).
    struct Block
    {
        QString path;
        int nStart = 0;
        int nBodyStart = 0;
        int nEnd = 0;
        std::vector<KeyLine> keys;
    };
    struct File
    {
        /// All of it, as read or written.
        QByteArray bytes;
        QByteArray bom;
        QByteArray newline = "\n";
        std::vector<Block> blocks = std::vector<Block>(1);
        /// What the lines mean; filled by Parse only.
        Sections sections;
    };

    /// Null when the file holds so many keys and sections for its size that
    /// their bookkeeping would take more memory than MemoryBudget allows.
    static std::optional<File> Parse(const QByteArray& bytes);
    /// What Parse may spend on the keys and sections of a file of nBytes
    /// (besides the bytes and the texts it reads): four times its size, at
    /// least 64 MiB.
    static qint64 MemoryBudget(qint64 nBytes);
    /// The file with changes applied (without sections). A changed key is
    /// written at its first line in its section and its later duplicates are
    /// dropped.
    static File Serialize(const File& file, const Changes& changes);

    /// UTF-8, except that half a surrogate pair, which UTF-8 has no form
    /// for, takes the three bytes its code would take; NameFromUtf8 reads
    /// that (and NULs) back exactly. Bytes that are no UTF-8 read as U+FFFD.
    static QByteArray NameToUtf8(const QString& name);
    static QString NameFromUtf8(const QByteArray& bytes);
    static QString EncodeName(const QString& name);
    static QString DecodeName(const QString& text);
    static QString EscapeValue(const QString& value);
    static QString UnescapeValue(const QString& text);
};
