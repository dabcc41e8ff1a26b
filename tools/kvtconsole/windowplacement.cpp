#include "tools/kvtconsole/windowplacement.h"

#include "base/cfgcenter.h"

#include <QDir>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>

#include <algorithm>

namespace {

const QString KEY_GEOMETRY = QStringLiteral("window/geometry");
const QString KEY_STATE = QStringLiteral("window/state");

}

const QString WindowPlacement::PLACEMENT_FILE = QStringLiteral("kvtconsole-window.ini");

QSize WindowPlacement::DefaultSize(const QSize& available)
{
    return QSize(static_cast<int>(available.width() * SCREEN_SHARE),
                 static_cast<int>(available.height() * SCREEN_SHARE));
}

WindowPlacement::WindowPlacement(QString file)
    : m_strFile(file.isEmpty() ? QDir(CfgCenter::ConfigDirectory()).filePath(PLACEMENT_FILE) : std::move(file))
{
}

bool WindowPlacement::Restore(QMainWindow& window) const
{
    const QSettings settings(m_strFile, QSettings::IniFormat);
    const bool bRestored = window.restoreGeometry(settings.value(KEY_GEOMETRY).toByteArray());
    window.restoreState(settings.value(KEY_STATE).toByteArray());
    const QScreen* pScreen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (pScreen == nullptr)
        return bRestored;
    const QRect available = pScreen->availableGeometry();
    if (!bRestored) {
        const QSize size = DefaultSize(available.size());
        window.setGeometry(QRect(available.center() - QPoint(size.width() / 2, size.height() / 2), size));
        return false;
    }
    window.resize(window.size().boundedTo(available.size()));
    return true;
}

bool WindowPlacement::Save(const QMainWindow& window) const
{
    QSettings settings(m_strFile, QSettings::IniFormat);
    settings.setValue(KEY_GEOMETRY, window.saveGeometry());
    settings.setValue(KEY_STATE, window.saveState());
    settings.sync();
    return settings.status() == QSettings::NoError;
}
