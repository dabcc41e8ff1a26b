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
    const int nExitCode = bEnded && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {nExitCode, process.readAllStandardOutput(), process.readAllStandardError()};
}
