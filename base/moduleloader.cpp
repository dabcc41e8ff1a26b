#include "base/moduleloader_p.h"

#include "base/errorhandler.h"
#include "base/idllinstance.h"
#include "base/trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include <link.h>

#include <algorithm>
#include <cstring>
#include <exception>

#include <dlfcn.h>

struct ModuleLoader::Loaded
{
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

template<typename T>
bool ReadAt(QFile& file, qint64 offset, T& out)
{
    return file.seek(offset) && file.read(reinterpret_cast<char*>(&out), sizeof(T)) == qint64(sizeof(T));
}

// Whether [offset, offset + size) lies inside a file of fileSize bytes.
bool Inside(quint64 offset, quint64 size, quint64 fileSize)
{
    return offset <= fileSize && size <= fileSize - offset;
}

} // namespace

// The loader maps every segment that the program headers name; a segment
// beyond the end of a cut-off file turns the first access to it into SIGBUS
// inside dlopen, where nothing can catch it. So the header and every program
// header segment must lie inside the file before dlopen sees it. (A file cut
// between this check and dlopen is not covered.)
QString ModuleLoader::CheckSharedObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the file: %1").arg(file.errorString());
    const quint64 fileSize = static_cast<quint64>(file.size());
    ElfW(Ehdr) header;
    if (!ReadAt(file, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return QStringLiteral("not an ELF file");
    if (header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) || header.e_type != ET_DYN)
        return QStringLiteral("not a shared object for this platform");
    if (header.e_phentsize != sizeof(ElfW(Phdr))
        || !Inside(header.e_phoff, quint64(header.e_phnum) * sizeof(ElfW(Phdr)), fileSize))
        return QStringLiteral("the program headers lie outside the file (truncated?)");
    for (quint64 i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        if (!ReadAt(file, qint64(header.e_phoff + i * sizeof(ElfW(Phdr))), segment))
            return QStringLiteral("cannot read the program headers");
        if (segment.p_type != PT_NULL && !Inside(segment.p_offset, segment.p_filesz, fileSize))
            return QStringLiteral("a segment lies outside the file (truncated?)");
    }
    return QString();
}

ModuleLoader::ModuleLoader() = default;

// Instances are released newest first and one at a time, each taken out of
// the list before its destructor runs: a module that releases another
// instance from its destructor then finds the list consistent.
ModuleLoader::~ModuleLoader()
{
    while (!m_lstLoaded.empty()) {
        std::unique_ptr<Loaded> last = std::move(m_lstLoaded.back());
        m_lstLoaded.pop_back();
        Release(std::move(last));
    }
    // QLibrary's destructor does not unload.
    while (!m_lstRetired.empty()) {
        m_lstRetired.back()->unload();
        m_lstRetired.pop_back();
    }
}

void ModuleLoader::Release(std::unique_ptr<Loaded> loaded)
{
    loaded->pInstance.reset();
    m_lstRetired.push_back(std::move(loaded->pLibrary));
}

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
    // A Windows path may separate its folders with backslashes.
    const QString name = QFileInfo(QString(file).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
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
    const QString damage = CheckSharedObject(*found);
    if (!damage.isEmpty()) {
        TraceLoadFailure(file, QStringLiteral("'%1': %2").arg(*found, damage));
        return nullptr;
    }
    auto library = std::make_unique<QLibrary>(*found);
    if (!library->load()) {
        TraceLoadFailure(file, library->errorString());
        return nullptr;
    }
    const auto factory = reinterpret_cast<DllInstanceFactory>(library->resolve(KVT_DLL_INSTANCE_FACTORY));
    QString failure = factory ? QStringLiteral("the module made no instance")
                              : QStringLiteral("no factory " KVT_DLL_INSTANCE_FACTORY);
    std::unique_ptr<IDllInstance> instance;
    try {
        instance.reset(factory ? factory(text) : nullptr);
    } catch (const std::exception& e) {
        failure = QStringLiteral("the factory threw: %1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        failure = QStringLiteral("the factory threw");
    }
    if (!instance) {
        TraceLoadFailure(file, failure);
        library->unload();
        return nullptr;
    }
    IDllInstance* result = instance.get();
    m_lstLoaded.push_back(std::make_unique<Loaded>(Loaded{std::move(library), std::move(instance)}));
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
    // Out of the list first: the instance's destructor may release others.
    std::unique_ptr<Loaded> loaded = std::move(*found);
    m_lstLoaded.erase(found);
    Release(std::move(loaded));
    return true;
}
