#pragma once

#include <QString>

/// The lock that serialises saves of one configuration file between
/// processes: an advisory lock (flock) on the file "<file>.lock". The kernel
/// drops it when its holder ends in whatever way, so a killed holder never
/// blocks a later save, whatever it left in the file. The file holds the
/// holder's process id, for messages only.
///
/// The holder removes the file when it releases the lock. A process that
/// opened the file just before and locks it afterwards holds a lock on a
/// removed file; it notices that and tries again on the file now there.
///
/// Single-threaded: one object per file and process.
class CfgFileLock
{
public:
    enum class Result
    {
        Locked,
        HeldElsewhere,
        Failed
    };
    /// Where taking the lock may stop, for fault injection: before the file
    /// is opened, after it was opened (perhaps created empty), after the
    /// kernel lock was taken, after the process id was written.
    enum Step
    {
        STEP_BEFORE_OPEN = 0,
        STEP_OPENED = 1,
        STEP_LOCKED = 2,
        STEP_ID_WRITTEN = 3
    };
    using StepHook = void (*)(int nStep);

    explicit CfgFileLock(const QString& path);
    /// Releases the lock when held.
    ~CfgFileLock();
    CfgFileLock(const CfgFileLock&) = delete;
    CfgFileLock& operator=(const CfgFileLock&) = delete;

    /// One attempt, without waiting. Failed when the file cannot be opened
    /// or locked for another reason than another holder.
    Result TryLock();
    /// The process id that the file names, 0 when it names none.
    qint64 GetHolderId() const;

    /// Called at every step of every TryLock; null for none.
    static void SetStepHookForTesting(StepHook hook);

private:
    void Release();

    QByteArray m_path;
    int m_fd = -1;
};
