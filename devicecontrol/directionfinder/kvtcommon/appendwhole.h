#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

/// Appends data to a file opened unbuffered for appending, all of it or
/// nothing: a write cut short (full disk, file size limit) is continued and,
/// when the rest cannot be written either, cut off the
/// file again, so that the next write does not run into a fragment. True
/// when all of data is in the file; otherwise pReason, if given, gets the
/// system's reason of the failed write (cutting the fragment off would
/// replace it in the file's error string). Used by the library's logs and
/// outputs, whose readers expect whole lines.
bool AppendWhole(QFile& rFile, const QByteArray& data, QString* pReason = nullptr);
