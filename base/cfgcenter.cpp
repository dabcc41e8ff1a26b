#include "base/cfgcenter.h"

#include "base/cfgdocument_p.h"
#include "base/cfgfilelock_p.h"
#include "base/cfginiformat_p.h"
#include "base/cfgsection_p.h"
#include "base/moduleloader_p.h"

#include <QStandardPaths>

#include <map>

namespace
{

std::map<int, std::unique_ptr<ICfg>>& AppCfgs()
{
    static std::map<int, std::unique_ptr<ICfg>> s_mapAppCfgs;
    return s_mapAppCfgs;
}

QString ViewFolder(ICfg::View view)
{
    switch (view) {
    case ICfg::Default:
        return QStringLiteral("default");
    case ICfg::User:
        return QStringLiteral("user");
    case ICfg::Application:
        return QStringLiteral("application");
    case ICfg::Station:
        return QStringLiteral("station");
    }
    return QStringLiteral("view%1").arg(static_cast<int>(view));
}

// Keeps file names portable and inside the view folder: only ASCII letters,
// digits, "_", "-", blanks and inner dots stay as they are.
QString FileNameOf(const QString& name)
{
    QString result;
    const QByteArray bytes = CfgIniFormat::NameToUtf8(name);
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '_' || c == '-' || c == ' ' || (c == '.' && i > 0);
        result += plain ? QString(QLatin1Char(c))
                        : QStringLiteral("%%1").arg(static_cast<uchar>(c), 2, 16, QLatin1Char('0')).toUpper();
    }
    return result;
}

std::unique_ptr<CfgSection> OpenCfg(const QString& name, ICfg::View view, bool bCounted)
{
    const QString directory = CfgCenter::ConfigDirectory();
    const QString fileName = directory + QLatin1Char('/') + ViewFolder(view) + QLatin1Char('/') + FileNameOf(name)
        + QStringLiteral(".ini");
    return std::make_unique<CfgSection>(CfgDocument::Open(fileName, directory), QString(), bCounted);
}

} // namespace

ICfg& CfgCenter::GetAppCfg(ICfg::View view)
{
    std::unique_ptr<ICfg>& cfg = AppCfgs()[view];
    if (!cfg)
        cfg = OpenCfg(QStringLiteral("Application"), view, false);
    return *cfg;
}

ICfg* CfgCenter::CreateCfg(const QString& name, ICfg::View view, const QString&)
{
    return name.isEmpty() ? nullptr : OpenCfg(name, view, true).release();
}

QString CfgCenter::ConfigDirectory()
{
    QString configured = qEnvironmentVariable("KVT_CONFIG_DIR");
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kvtcommon");
}

bool CfgCenter::Flush()
{
    return CfgDocument::SaveAll();
}

bool CfgCenter::LockForUpdate(ICfg& cfg)
{
    auto* pSection = dynamic_cast<CfgSection*>(&cfg);
    return pSection != nullptr && pSection->GetDocument().LockForUpdate();
}

QStringList CfgCenter::GetSaveFailures()
{
    return CfgDocument::GetSaveFailures();
}

void CfgCenter::Reset()
{
    CfgDocument::ForgetAll();
    AppCfgs().clear();
}

void CfgCenter::SetFreeSpaceForTesting(qint64 nBytes)
{
    CfgDocument::SetFreeSpaceForTesting(nBytes);
}

void CfgCenter::SetLockStepHookForTesting(void (*hook)(int nStep))
{
    CfgFileLock::SetStepHookForTesting(hook);
}

IDllInstance* CfgCenter::CreateDllInstanceByFileName(const QString& file, const QString& text, bool, bool)
{
    return ModuleLoader::Instance().Create(ModuleDirectory(), file, text);
}

void CfgCenter::DestroyDllInstanceByPointer(IDllInstance* instance)
{
    ModuleLoader::Instance().Destroy(instance);
}

QString CfgCenter::ModuleDirectory()
{
    const QString configured = qEnvironmentVariable("KVT_MODULE_DIR");
    return configured.isEmpty() ? ModuleLoader::DefaultDirectory() : configured;
}
