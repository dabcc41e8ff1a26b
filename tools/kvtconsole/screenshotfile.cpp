#include "tools/kvtconsole/screenshotfile.h"

#include <QBuffer>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

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
    if (file.open(QIODevice::WriteOnly) && file.write(png) == png.size() && file.commit())
        return true;
    rError = file.errorString();
    return false;
}
