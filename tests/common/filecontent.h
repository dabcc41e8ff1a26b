#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

/// The bytes of a file; "<unreadable>" when it cannot be read.
inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

/// Writes the bytes to a file (after what it holds with bAppend), making its
/// folder first; false when any of it failed.
inline bool WriteFile(const QString& path, const QByteArray& bytes, bool bAppend = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(bAppend ? QIODevice::Append : QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
