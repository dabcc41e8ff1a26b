#pragma once

#include <QString>

class QWidget;

/// The PNG picture of the window that --screenshot asks for. The picture is
/// encoded in memory and then written atomically, so that a failure says
/// why the file system refused it (for example "No space left on device")
/// rather than what the PNG encoder saw.
class ScreenshotFile
{
public:
    explicit ScreenshotFile(QString fileName);

    /// Whether the file can be written at all, before the run: false, with
    /// the reason, when its folder is missing or refuses a new file.
    bool Probe(QString& rError) const;
    /// Saves the widget's picture; false with the reason when it could not.
    bool Save(QWidget& widget, QString& rError) const;

private:
    QString m_strFileName;
};
