#include "base/cfgdocument_p.h"

#include "base/cfgfilelock_p.h"
#include "base/cfginiformat_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>

namespace
{

// Larger files are neither read nor written: nobody edits a configuration of that size.
const qint64 MAX_FILE_SIZE = qint64(64) << 20;
// How long a save waits for another process's lock before it gives up (and stays pending).
const qint64 LOCK_WAIT_MS = 10000;
const unsigned long MAX_LOCK_PAUSE_MS = 20;

qint64 s_nFreeSpaceForTesting = -1;

struct Registry
{
    QHash<QString, std::weak_ptr<CfgDocument>> open;
    /// Keeps documents with unsaved changes alive after their last handle.
    std::map<const CfgDocument*, std::shared_ptr<CfgDocument>> unsaved;
};

Registry& TheRegistry()
{
    static Registry s_registry;
    return s_registry;
}

QString Describe(const QString& fileName, const QString& what, const QString& reason)
{
    return QStringLiteral("configuration file '%1' %2: %3").arg(fileName, what, reason);
}

void Warn(const QString& text)
{
    qWarning("WARNING: %s", qUtf8Printable(text));
}

// The file that a save replaces: fileName itself, or the file a symbolic link
// leads to when that lies inside rootDir. Empty, with the reason, when a save
// must not replace anything there. A link is resolved by the system, which
// also tells a loop or a chain too long to follow from a link to nothing.
QString WriteTarget(const QString& fileName, const QString& rootDir, QString& reason)
{
    QString target = fileName;
    struct stat link = {};
    if (::lstat(QFile::encodeName(fileName).constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(QFile::encodeName(fileName).constData(), resolved) != nullptr) {
            target = QFile::decodeName(resolved);
            const QString root = QFileInfo(rootDir).canonicalFilePath();
            if (root.isEmpty() || !target.startsWith(root + QLatin1Char('/')))
                reason = QStringLiteral("it is a symbolic link to '%1', outside the configuration directory")
                             .arg(target);
        } else if (errno == ELOOP) {
            reason = QStringLiteral("it is a symbolic link in a loop or in a chain too long to follow");
        } else if (errno == ENOENT) {
            reason = QStringLiteral("it is a symbolic link to nothing");
        } else {
            reason = QStringLiteral("it is a symbolic link that cannot be followed: %1").arg(qt_error_string(errno));
        }
    }
    if (reason.isEmpty() && QFileInfo::exists(target) && !QFileInfo(target).isFile())
        reason = QStringLiteral("it is not a regular file");
    return reason.isEmpty() ? target : QString();
}

// A save writes its copy as "<file>.kvtsave-XXXXXX" (six letters or digits)
// beside the file it replaces: a name nobody else gives a file, so that the
// copy a killed save leaves can be told from a user's "<file>.backup". A
// Latin-1 literal, not a QString: saves also run from the exit handler, when
// this file's QString objects may already be destroyed.
const QLatin1String COPY_INFIX(".kvtsave-");

// Called with the lock held, so no save is writing a copy now. Matched by
// hand rather than with a name filter: saves also run from the exit handler,
// when Qt's regular expression engine may already be torn down.
bool IsCrashedCopyName(const QString& name, const QString& prefix)
{
    const int suffixLength = 6;
    if (name.size() != prefix.size() + COPY_INFIX.size() + suffixLength || !name.startsWith(prefix) ||
        !QStringView(name).mid(prefix.size()).startsWith(COPY_INFIX))
        return false;
    for (int i = prefix.size() + COPY_INFIX.size(); i < name.size(); ++i) {
        const ushort c = name.at(i).unicode();
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

// The file's mode for its new content: the old file's, or what a new file
// gets from the process's umask.
mode_t ModeFor(const QString& target)
{
    struct stat info;
    if (::stat(QFile::encodeName(target).constData(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes the copy, syncs it and renames it over the file, so that a crash
// leaves the complete old or the complete new content; `nToWrite` below the
// size of `bytes` stands for a full disk.
bool ReplaceFile(const QString& target, const QByteArray& bytes, qint64 nToWrite, QString& error)
{
    QTemporaryFile out(target + COPY_INFIX + QLatin1String("XXXXXX"));
    if (!out.open()) {
        error = out.errorString();
        return false;
    }
    if (out.write(bytes.constData(), nToWrite) != bytes.size() || !out.flush()) {
        error = out.error() != QFileDevice::NoError
            ? out.errorString()
            : QStringLiteral("only part of its %1 bytes could be written").arg(bytes.size());
        return false;
    }
    if (::fchmod(out.handle(), ModeFor(target)) != 0 || ::fsync(out.handle()) != 0 ||
        ::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        error = qt_error_string(errno);
        return false;
    }
    out.setAutoRemove(false);
    return true;
}

void RemoveCrashedCopies(const QString& target)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName();
    const QFileInfoList entries =
        info.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QFileInfo& copy : entries) {
        if (IsCrashedCopyName(copy.fileName(), prefix) && !copy.isSymLink() && QFile::remove(copy.filePath()))
            Warn(Describe(target, QStringLiteral("was being saved when its process ended"),
                          QStringLiteral("its unfinished copy '%1' was removed").arg(copy.fileName())));
    }
}

bool ReadFile(const QString& path, QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (file.size() > MAX_FILE_SIZE) {
        error = QStringLiteral("it is larger than %1 MiB").arg(MAX_FILE_SIZE >> 20);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        error = file.errorString();
    else if (bytes.size() > MAX_FILE_SIZE)
        error = QStringLiteral("it is larger than %1 MiB").arg(MAX_FILE_SIZE >> 20);
    return error.isEmpty();
}

} // namespace

std::shared_ptr<CfgDocument> CfgDocument::Open(const QString& fileName, const QString& rootDir)
{
    static const bool s_bSavedAtExit = (TheRegistry(), std::atexit([] { SaveAll(); }) == 0);
    Q_UNUSED(s_bSavedAtExit)
    QHash<QString, std::weak_ptr<CfgDocument>>& open = TheRegistry().open;
    for (auto it = open.begin(); it != open.end();)
        it = it->expired() ? open.erase(it) : std::next(it);
    const QString path = QFileInfo(fileName).absoluteFilePath();
    std::shared_ptr<CfgDocument> document = open.value(path).lock();
    if (!document) {
        document = std::make_shared<CfgDocument>(path, rootDir);
        open.insert(path, document);
    }
    return document;
}

bool CfgDocument::SaveAll()
{
    std::vector<std::shared_ptr<CfgDocument>> documents;
    for (const auto& unsaved : TheRegistry().unsaved)
        documents.push_back(unsaved.second);
    bool saved = true;
    for (const std::shared_ptr<CfgDocument>& document : documents)
        saved = document->Save() && saved;
    return saved;
}

QStringList CfgDocument::GetSaveFailures()
{
    QStringList failures;
    for (const auto& unsaved : TheRegistry().unsaved) {
        const CfgDocument& document = *unsaved.second;
        if (!document.m_strReadOnlyReason.isEmpty())
            failures << Describe(document.m_strFileName, QStringLiteral("is read-only in this session"),
                                 document.m_strReadOnlyReason);
        else if (!document.m_strReported.isEmpty())
            failures << Describe(document.m_strFileName, QStringLiteral("could not be written"),
                                 document.m_strReported);
    }
    return failures;
}

void CfgDocument::ForgetAll()
{
    SaveAll();
    TheRegistry().unsaved.clear();
}

void CfgDocument::SetFreeSpaceForTesting(qint64 nBytes)
{
    s_nFreeSpaceForTesting = nBytes;
}

CfgDocument::CfgDocument(const QString& fileName, const QString& rootDir)
    : m_strFileName(fileName)
    , m_strRootDir(rootDir)
{
    WriteTarget(m_strFileName, m_strRootDir, m_strReadOnlyReason);
    // A symbolic link that may not be written through is still read.
    QByteArray bytes;
    QString readError;
    if (QFileInfo(m_strFileName).isFile() && ReadFile(m_strFileName, bytes, readError))
        Reread(bytes, readError);
    if (!readError.isEmpty())
        m_strReadOnlyReason = readError;
    if (!m_strReadOnlyReason.isEmpty()) {
        m_strReported = m_strReadOnlyReason;
        Warn(Describe(m_strFileName, QStringLiteral("is read-only in this session"), m_strReadOnlyReason));
    }
}

CfgDocument::~CfgDocument() = default;

void CfgDocument::AddHandle()
{
    ++m_nHandles;
}

void CfgDocument::ReleaseHandle()
{
    if (--m_nHandles == 0 && (!m_mapChanges.isEmpty() || m_pLock))
        Save();
}

bool CfgDocument::LockForUpdate()
{
    QString target;
    QByteArray bytes;
    QString error;
    if (!LockAndRead(target, bytes, error) || !Reread(bytes, error)) {
        m_pLock.reset();
        return false;
    }
    ScheduleSave();
    return true;
}

bool CfgDocument::Save()
{
    QString error;
    const bool saved = m_mapChanges.isEmpty() || Write(error);
    m_pLock.reset();
    if (!saved) {
        Report(error);
        return false;
    }
    m_mapChanges.clear();
    m_strReported.clear();
    TheRegistry().unsaved.erase(this);
    return true;
}

const CfgDocument::Entry* CfgDocument::Find(const QString& section, const QString& key) const
{
    const auto sectionIt = m_mapSections.constFind(section);
    if (sectionIt == m_mapSections.cend())
        return nullptr;
    const auto entryIt = sectionIt->constFind(key);
    return entryIt == sectionIt->cend() ? nullptr : &entryIt.value();
}

void CfgDocument::SetValue(const QString& section, const QString& key, const QString& value)
{
    Section& entries = m_mapSections[section];
    auto entry = entries.find(key);
    if (entry == entries.end())
        entry = entries.insert(key, Entry());
    else if (entry->strValue == value)
        return;
    entry->strValue = value;
    Change(section, key, *entry);
}

void CfgDocument::SetReadOnly(const QString& section, const QString& key, bool readOnly)
{
    const Entry* existing = Find(section, key);
    if (existing && existing->bReadOnly != readOnly) {
        Entry& entry = m_mapSections[section][key];
        entry.bReadOnly = readOnly;
        Change(section, key, entry);
    }
}

bool CfgDocument::Remove(const QString& section, const QString& key)
{
    auto sectionIt = m_mapSections.find(section);
    if (sectionIt == m_mapSections.end() || sectionIt->remove(key) == 0)
        return false;
    if (sectionIt->isEmpty())
        m_mapSections.erase(sectionIt);
    Change(section, key, std::nullopt);
    return true;
}

QStringList CfgDocument::GetKeys(const QString& section) const
{
    return m_mapSections.value(section).keys();
}

QStringList CfgDocument::GetSubSectionNames(const QString& section) const
{
    const QString prefix = section.isEmpty() ? QString() : section + QLatin1Char('/');
    std::set<QString> names;
    for (auto it = m_mapSections.cbegin(); it != m_mapSections.cend(); ++it) {
        if (it.key().size() > prefix.size() && it.key().startsWith(prefix))
            names.insert(it.key().mid(prefix.size()).section(QLatin1Char('/'), 0, 0));
    }
    return QStringList(names.begin(), names.end());
}

void CfgDocument::Change(const QString& section, const QString& key, const std::optional<Entry>& entry)
{
    m_mapChanges[section][key] = entry;
    TheRegistry().unsaved.emplace(this, shared_from_this());
    ScheduleSave();
}

void CfgDocument::ScheduleSave()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (m_bSaveScheduled || app == nullptr || app->thread() != QThread::currentThread())
        return;
    m_bSaveScheduled = true;
    QTimer::singleShot(0, app, [document = weak_from_this()] {
        if (const std::shared_ptr<CfgDocument> pDocument = document.lock()) {
            pDocument->m_bSaveScheduled = false;
            pDocument->Save();
        }
    });
}

bool CfgDocument::Lock(QString& error)
{
    if (m_pLock)
        return true;
    auto pLock = std::make_unique<CfgFileLock>(m_strFileName + QStringLiteral(".lock"));
    QElapsedTimer waited;
    waited.start();
    for (unsigned long pause = 1;; pause = qMin(pause * 2, MAX_LOCK_PAUSE_MS)) {
        const CfgFileLock::Result result = pLock->TryLock();
        if (result == CfgFileLock::Result::Locked)
            break;
        if (result == CfgFileLock::Result::Failed) {
            error = QStringLiteral("its lock file cannot be created");
            return false;
        }
        if (waited.hasExpired(LOCK_WAIT_MS)) {
            const qint64 holder = pLock->GetHolderId();
            error = QStringLiteral("another process holds its lock file");
            if (holder > 0)
                error += QStringLiteral(" (process %1)").arg(holder);
            return false;
        }
        QThread::msleep(pause);
    }
    m_pLock = std::move(pLock);
    return true;
}

bool CfgDocument::LockAndRead(QString& target, QByteArray& bytes, QString& error)
{
    if (!m_strReadOnlyReason.isEmpty()) {
        error = m_strReadOnlyReason;
        return false;
    }
    if (!QDir().mkpath(QFileInfo(m_strFileName).absolutePath())) {
        error = QStringLiteral("its folder cannot be created");
        return false;
    }
    if (!Lock(error))
        return false;
    target = WriteTarget(m_strFileName, m_strRootDir, error);
    if (target.isEmpty())
        return false;
    RemoveCrashedCopies(target);
    return !QFileInfo::exists(target) || ReadFile(target, bytes, error);
}

bool CfgDocument::Write(QString& error)
{
    QString target;
    QByteArray bytes;
    if (!LockAndRead(target, bytes, error) || !Reread(bytes, error))
        return false;
    CfgIniFormat::File file = CfgIniFormat::Serialize(m_file, m_mapChanges);
    bytes = file.bytes;

    const qint64 nToWrite = s_nFreeSpaceForTesting < 0 ? bytes.size() : qMin<qint64>(bytes.size(), s_nFreeSpaceForTesting);
    if (!ReplaceFile(target, bytes, nToWrite, error))
        return false;
    m_file = std::move(file);
    return true;
}

bool CfgDocument::Reread(const QByteArray& bytes, QString& error)
{
    if (bytes == m_file.bytes)
        return true;
    std::optional<CfgIniFormat::File> parsed = CfgIniFormat::Parse(bytes);
    if (!parsed) {
        error = QStringLiteral("it holds so many keys or sections for its size that reading it would take more "
                               "than %1 MiB of memory")
                    .arg(CfgIniFormat::MemoryBudget(bytes.size()) >> 20);
        return false;
    }
    m_file = std::move(*parsed);
    Sections sections = std::move(m_file.sections);
    m_file.sections.clear();
    for (auto section = m_mapChanges.cbegin(); section != m_mapChanges.cend(); ++section) {
        for (auto key = section->cbegin(); key != section->cend(); ++key) {
            if (key.value()) {
                sections[section.key()][key.key()] = *key.value();
                continue;
            }
            const auto present = sections.find(section.key());
            if (present != sections.end() && present->remove(key.key()) > 0 && present->isEmpty())
                sections.erase(present);
        }
    }
    m_mapSections = std::move(sections);
    return true;
}

void CfgDocument::Report(const QString& error)
{
    if (error == m_strReported)
        return;
    m_strReported = error;
    Warn(Describe(m_strFileName, QStringLiteral("could not be written"), error));
}
