#include "tools/kvtconsole/screenshotfile.h"

#include <QBuffer>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

#include <algorithm>

ScreenshotFile::ScreenshotFile(QString fileName)
    : m_strFileName(std::move(fileName))
{
}

bool ScreenshotFile::Probe(QString& rError) const
{
    // Opening makes the temporary file beside the target; not committing removes it again.
    QSaveFile file(m_strFileName);
    if (file.open(QIODevice::WriteOnly))
        return true;
    rError = file.errorString();
    return false;
}

bool ScreenshotFile::Save(QWidget& widget, QString& rError) const
{
    const QPixmap picture = widget.grab();
    QByteArray png;
    QBuffer buffer(&png);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        rError = QStringLiteral("the window could not be drawn");
        return false;
    }
    QSaveFile file(m_strFileName);
    // Unbuffered, and on after a short write: the write that fails keeps the system's reason.
    bool bWritten = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 offset = 0; bWritten && offset < png.size();) {
        const qint64 written = file.write(png.constData() + offset, png.size() - offset);
        bWritten = written > 0;
        offset += std::max<qint64>(written, 0);
    }
    if (bWritten && file.commit())
        return true;
    rError = file.errorString();
    return false;
}
