#include "base/cfgfilelock_p.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace
{

CfgFileLock::StepHook s_stepHook = nullptr;

// Another process removing and re-creating the file in between every time is
// not a holder we could ever beat: after this many rounds it counts as one.
const int MAX_REMOVED_ROUNDS = 100;

void Reach(CfgFileLock::Step step)
{
    if (s_stepHook != nullptr)
        s_stepHook(step);
}

} // namespace

CfgFileLock::CfgFileLock(const QString& path)
    : m_path(QFile::encodeName(path))
{
}

CfgFileLock::~CfgFileLock()
{
    Release();
}

CfgFileLock::Result CfgFileLock::TryLock()
{
    if (m_fd >= 0)
        return Result::Locked;
    for (int round = 0; round < MAX_REMOVED_ROUNDS; ++round) {
        Reach(STEP_BEFORE_OPEN);
        // Not inherited by programs this process starts: they would keep the lock.
        const int fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0)
            return Result::Failed;
        Reach(STEP_OPENED);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool bHeld = errno == EWOULDBLOCK;
            ::close(fd);
            return bHeld ? Result::HeldElsewhere : Result::Failed;
        }
        struct stat locked = {};
        struct stat current = {};
        if (::fstat(fd, &locked) != 0 || ::stat(m_path.constData(), &current) != 0 || locked.st_ino != current.st_ino
            || locked.st_dev != current.st_dev) {
            ::close(fd);
            continue;
        }
        Reach(STEP_LOCKED);
        const QByteArray id = QByteArray::number(qint64(::getpid())) + '\n';
        // The id only serves messages: a lock whose id could not be written still locks.
        if (::ftruncate(fd, 0) == 0)
            static_cast<void>(::pwrite(fd, id.constData(), size_t(id.size()), 0));
        Reach(STEP_ID_WRITTEN);
        m_fd = fd;
        return Result::Locked;
    }
    return Result::HeldElsewhere;
}

qint64 CfgFileLock::GetHolderId() const
{
    QFile file(QFile::decodeName(m_path));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qint64 id = file.read(32).trimmed().toLongLong(&ok);
    return ok && id > 0 ? id : 0;
}

void CfgFileLock::SetStepHookForTesting(StepHook hook)
{
    s_stepHook = hook;
}

void CfgFileLock::Release()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so that nobody can lock this file and
    // believe it is the one in place.
    ::unlink(m_path.constData());
    ::close(m_fd);
    m_fd = -1;
}
