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
///
/// Reading. A file is read when its configuration is first opened in the
/// process; all handles on it share that content. It is read again by every
/// save and by LockForUpdate, and when it is opened anew after every handle
/// was released and its changes were saved.
///
/// Saving: one save per change set. Changes stay in memory until the last
/// handle opened on the file with CreateCfg or GetSubCfg is released; then
/// they are saved in one write. So opening a section, writing it and its
/// sub-sections and releasing them all costs one save. Changes made while
/// the file's handles stay open, and keys written directly on GetAppCfg
/// (never released), are saved at the latest when the application's event
/// loop runs next (when the store is used on the application's thread), by
/// Flush(), by Reset() or at the normal end of the process, whichever comes
/// first.
///
/// A save never loses what it does not understand, nor what others wrote: it
/// locks the file "<file>.lock" (an advisory lock, which the system drops
/// when its holder ends, however it ends), reads the file again, changes only the
/// lines of the keys changed in this process (other lines, including those
/// it cannot read, stay byte for byte) and replaces the file atomically, so
/// a crash leaves the complete old or the complete new content. The
/// unfinished copy that a crashed save leaves beside the file
/// ("<file>.kvtsave-XXXXXX", six letters or digits) is removed by the next
/// save, which holds the lock, with a warning; other files beside it, such as
/// "<file>.backup", stay. Two
/// processes writing different keys lose none; for the same key the last
/// writer wins. A failed save (disk full, file size limit, lock held by
/// another process for more than 10 s) leaves the file as it was, reports
/// the reason with qWarning whatever the trace mask, keeps the changes and
/// tries again at the next save; Flush() tells whether anything is unsaved.
///
/// A file that exists but cannot be read, is not a regular file, is larger
/// than 64 MiB or holds so many keys or sections for its size that reading
/// them would take more than four times its size (and more than 64 MiB) of
/// memory is never written: its configuration is read-only for the
/// session (changes stay in memory only) and the reason is reported once. A
/// symbolic link is followed when it leads to a regular file inside
/// ConfigDirectory(): that file is replaced and the link kept. A link that
/// leads elsewhere is read but never written through. A link to nothing, a
/// loop of links and a chain of links too long for the system to follow
/// make the configuration read-only in the same way, and are left as they
/// are.
///
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

    /// Saves every configuration with unsaved changes now. False when some
    /// changes could not be saved (they stay pending; the reason was reported),
    /// so that a program can end with a failure code.
    static bool Flush();
    /// After a failed Flush (or save): one text per configuration file that
    /// still holds unsaved changes, naming the file and why it failed
    /// ("configuration file '<path>' could not be written: <reason>").
    static QStringList GetSaveFailures();

    /// For a read-modify-write that must not interleave with another process
    /// (appending a numbered entry): takes the lock of cfg's file, which is
    /// then held until the file's next save, and takes over the file's current
    /// content, keeping this process's unsaved changes. False, with the
    /// content unchanged, when the file cannot be locked or read or cfg does
    /// not come from this store.
    static bool LockForUpdate(ICfg& cfg);

    /// Flushes, then drops the cached configurations (and any changes that
    /// could not be saved), so that the next GetAppCfg reads from the then
    /// current ConfigDirectory(). References from GetAppCfg become invalid.
    /// Meant for tests.
    static void Reset();

    /// Test seam: every save writes at most nBytes, as on a nearly full disk,
    /// and fails when the content is longer. A negative value ends this.
    static void SetFreeSpaceForTesting(qint64 nBytes);

    /// Test seam for fault injection: hook is called at every step of taking
    /// a file's lock, with 0 before the lock file is opened, 1 after it was
    /// opened (perhaps created empty), 2 after it was locked and 3 after the
    /// process id was written into it. Null ends this.
    static void SetLockStepHookForTesting(void (*hook)(int nStep));

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

    /// Deletes an instance made by CreateDllInstanceByFileName; its module is
    /// unloaded at process exit, after the application object, since what the
    /// module started may outlive the instance. Null or an unknown pointer is
    /// ignored (and not deleted).
    static void DestroyDllInstanceByPointer(IDllInstance* instance);

    /// The directory searched for modules: KVT_MODULE_DIR when set, otherwise
    /// "kvtcommon/modules" beside the host library file as it was loaded
    /// (<libdir>/kvtcommon/modules of whatever prefix it was installed to, and
    /// <build>/kvtcommon/modules in a build tree). Nothing is fixed at build time.
    static QString ModuleDirectory();
};
