#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

/// What a program run to its end left behind: its exit code (-1 when it
/// crashed or did not end in time) and what it wrote.
struct ProgramRun
{
    int nExitCode = -1;
    QByteArray stdOut;
    QByteArray stdErr;
};

/// What a process that has ended left behind.
inline ProgramRun EndedRun(QProcess& process)
{
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

/// Runs `program` in `workingDir` (this process's when empty) and waits at most
/// nTimeoutMs for its end; one still running then is killed.
inline ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                             const QString& workingDir = QString(), int nTimeoutMs = 120000)
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.start(program, arguments);
    const bool bEnded = process.waitForFinished(nTimeoutMs);
    if (!bEnded)
    {
        process.kill();
        process.waitForFinished(nTimeoutMs);
    }
    ProgramRun run = EndedRun(process);
    if (!bEnded)
        run.nExitCode = -1;
    return run;
}
