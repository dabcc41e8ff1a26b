#include "base/moduleloader_p.h"

#include "base/errorhandler.h"
#include "base/idllinstance.h"
#include "base/trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include <algorithm>

#include <dlfcn.h>

struct ModuleLoader::Loaded
{
    Loaded(std::unique_ptr<QLibrary> library, std::unique_ptr<IDllInstance> instance)
        : pLibrary(std::move(library))
        , pInstance(std::move(instance))
    {
    }

    // The instance's code lives in the library, and QLibrary's destructor
    // does not unload: delete first, then unload explicitly.
    ~Loaded()
    {
        pInstance.reset();
        pLibrary->unload();
    }

    std::unique_ptr<QLibrary> pLibrary;
    std::unique_ptr<IDllInstance> pInstance;
};

namespace
{

void TraceLoadFailure(const QString& file, const QString& reason)
{
    if (ErrorHandler::Instance().TracesEnabled())
        _Q_Trace(QStringLiteral("WARNING: module '%1' not loaded: %2").arg(file, reason), __FILE__, __LINE__);
}

} // namespace

ModuleLoader::ModuleLoader() = default;

ModuleLoader::~ModuleLoader() = default;

ModuleLoader& ModuleLoader::Instance()
{
    static ModuleLoader s_loader;
    return s_loader;
}

QString ModuleLoader::DefaultDirectory()
{
    // Any object inside this library tells the dynamic loader which file it came from.
    static const char s_chAnchor = 0;
    Dl_info info;
    if (dladdr(&s_chAnchor, &info) == 0 || info.dli_fname == nullptr)
        return QString();
    const QString libraryDir = QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
    return QDir::cleanPath(libraryDir + QStringLiteral("/" KVT_MODULE_SUBDIR));
}

QStringList ModuleLoader::CandidatePaths(const QString& directory, const QString& file)
{
    const QString name = QFileInfo(file).fileName();
    const QString base = name.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive) ? name.chopped(4) : name;
    if (base.isEmpty())
        return {};
    const QString prefix = directory + QLatin1Char('/');
    return {prefix + QStringLiteral("lib") + base + QStringLiteral(".so"), prefix + base + QStringLiteral(".so")};
}

IDllInstance* ModuleLoader::Create(const QString& directory, const QString& file, const QString& text)
{
    const QStringList candidates = CandidatePaths(directory, file);
    const auto found = std::find_if(candidates.begin(), candidates.end(),
                                    [](const QString& path) { return QFileInfo(path).isFile(); });
    if (found == candidates.end()) {
        TraceLoadFailure(file, QStringLiteral("no module file in '%1'").arg(directory));
        return nullptr;
    }
    auto library = std::make_unique<QLibrary>(*found);
    if (!library->load()) {
        TraceLoadFailure(file, library->errorString());
        return nullptr;
    }
    const auto factory = reinterpret_cast<DllInstanceFactory>(library->resolve(KVT_DLL_INSTANCE_FACTORY));
    std::unique_ptr<IDllInstance> instance(factory ? factory(text) : nullptr);
    if (!instance) {
        TraceLoadFailure(file, factory ? QStringLiteral("the module made no instance")
                                       : QStringLiteral("no factory " KVT_DLL_INSTANCE_FACTORY));
        library->unload();
        return nullptr;
    }
    IDllInstance* result = instance.get();
    m_lstLoaded.push_back(std::make_unique<Loaded>(std::move(library), std::move(instance)));
    return result;
}

bool ModuleLoader::Destroy(IDllInstance* instance)
{
    const auto found = std::find_if(m_lstLoaded.begin(), m_lstLoaded.end(),
                                    [instance](const std::unique_ptr<Loaded>& loaded) {
                                        return instance && loaded->pInstance.get() == instance;
                                    });
    if (found == m_lstLoaded.end())
        return false;
    m_lstLoaded.erase(found);
    return true;
}
