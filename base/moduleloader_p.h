#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class IDllInstance;
class QLibrary;

/// Keeps every module instance made at run time together with its loaded
/// library, so that an instance is deleted before its code is unloaded.
/// Instances still alive at process exit are released then.
///
/// A released instance is deleted at once, but its library stays loaded until
/// the loader ends at process exit, after the application object: a module
/// leaves more behind than its instance. The libraries it pulled in (Qt
/// Network for a socket) keep their own objects, threads and connections to
/// the application object (a host-name lookup, for one), whose code must
/// still be there when they run or are torn down. A module that
/// cannot be loaded safely (damaged file, no factory, a factory that fails or
/// throws) gives null and a trace, never a crash.
/// Single-threaded.
class ModuleLoader
{
public:
    static ModuleLoader& Instance();

    ~ModuleLoader();

    /// Loads file from directory; see CfgCenter::CreateDllInstanceByFileName.
    IDllInstance* Create(const QString& directory, const QString& file, const QString& text);
    /// False (and nothing deleted) for an instance not made here.
    bool Destroy(IDllInstance* instance);

    /// KVT_MODULE_SUBDIR in the directory of the host library's file; empty
    /// when the dynamic loader cannot say where that file is.
    static QString DefaultDirectory();

    /// The candidate file paths for a Windows module file name, in search order.
    static QStringList CandidatePaths(const QString& directory, const QString& file);

    /// Empty when path holds an ELF shared object of this platform whose
    /// program headers and segments lie inside the file; otherwise the reason.
    static QString CheckSharedObject(const QString& path);

private:
    struct Loaded;

    ModuleLoader();
    /// Deletes the instance and keeps its library for the end.
    void Release(std::unique_ptr<Loaded> loaded);

    std::vector<std::unique_ptr<Loaded>> m_lstLoaded;
    /// Libraries of released instances, oldest first; one per load.
    std::vector<std::unique_ptr<QLibrary>> m_lstRetired;
};
