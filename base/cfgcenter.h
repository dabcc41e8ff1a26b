#pragma once

#include "kvthost_export.h"
#include "base/icfg.h"

#include <QString>

class IDllInstance;

/// Entry point of the configuration store and of the run-time module loader.
///
/// Configurations are INI files in ConfigDirectory(): one file per
/// configuration name and view, "<view>/<name>.ini" where <view> is "default",
/// "user", "application", "station" or "view<N>" for other numbers, and name
/// characters that are unsafe in file names are percent-encoded.
/// A file is read when its configuration is first opened in the process and
/// re-read only after every handle on it is released; meanwhile changes made
/// by another process are not seen, and the next write here replaces them.
/// Not thread-safe: use the store from one thread.
class KVTHOST_EXPORT CfgCenter
{
public:
    /// The application's configuration (name "Application") for a view. The
    /// reference stays valid until Reset(); never delete it.
    static ICfg& GetAppCfg(ICfg::View view);

    /// Opens (creating on first write) the configuration name in view. The
    /// caller owns the result. text is reserved (pass empty). Null for an
    /// empty name.
    static ICfg* CreateCfg(const QString& name, ICfg::View view, const QString& text);

    /// The directory of the configuration files: KVT_CONFIG_DIR when set,
    /// otherwise the per-user configuration location + "/kvtcommon".
    static QString ConfigDirectory();

    /// Drops the cached application configurations, so that the next
    /// GetAppCfg reads from the then current ConfigDirectory(). References
    /// from GetAppCfg become invalid. Meant for tests.
    static void Reset();

    /// Loads a module by its Windows file name ("ZodClient.dll"): the file
    /// "libZodClient.so" or else "ZodClient.so" in the module directory
    /// (KVT_MODULE_DIR when set, otherwise ModuleDirectory();
    /// any directory part of file is ignored; the ".dll" suffix may have any
    /// case, the name itself is matched case-sensitively), then calls its factory
    /// (see idllinstance.h) with text. The two flags are reserved.
    /// Null when the module is missing, has no factory or the factory fails;
    /// the reason is traced while traces are enabled.
    static IDllInstance* CreateDllInstanceByFileName(const QString& file, const QString& text,
                                                     bool reserved1, bool reserved2);

    /// Deletes an instance made by CreateDllInstanceByFileName and unloads its
    /// module. Null or an unknown pointer is ignored (and not deleted).
    static void DestroyDllInstanceByPointer(IDllInstance* instance);

    /// The directory searched for modules: KVT_MODULE_DIR when set, otherwise
    /// "kvtcommon/modules" beside the host library file as it was loaded
    /// (<libdir>/kvtcommon/modules of whatever prefix it was installed to, and
    /// <build>/kvtcommon/modules in a build tree). Nothing is fixed at build time.
    static QString ModuleDirectory();
};
