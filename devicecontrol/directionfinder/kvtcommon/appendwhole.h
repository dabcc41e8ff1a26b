#pragma once

#include <QByteArray>
#include <QFile>

/// Appends data to a file opened unbuffered for appending, all of it or
/// nothing: a write cut short (full disk, file size limit) is cut off the
/// file again, so that the next write does not run into a fragment. True
/// when all of data is in the file. Used by the library's logs and outputs,
/// whose readers expect whole lines.
bool AppendWhole(QFile& rFile, const QByteArray& data);
