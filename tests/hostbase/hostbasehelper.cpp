// Second process for the host base tests. Commands (configuration "Shared",
// view User, in KVT_CONFIG_DIR):
//   set <section> <key> <value>   write one value
//   flood <section> <key> <bytes> limit file size to <bytes>, then write a larger value
//                                 (the process is killed by SIGXFSZ)
//   many <section> <prefix> <n>   write the keys <prefix>0 … <prefix><n-1>, 20 per change set
//   app - <key> <value>           write on the application configuration and end
//                                 without saving explicitly
//   killat <section> <key> <step> write one value and kill the process with SIGKILL
//                                 at that step of taking the file's lock (0 to 3)
//   hold <section> - -            take the file's lock, print "locked" and keep it
//                                 until standard input ends
//   mask                          print the trace mask taken from KVT_TRACE_MASK
//   keepmodule                    load TestModule as "owner" and exit without releasing it
//   traceatexit                   exit while another thread keeps tracing
// Writing commands exit with 3 when a change could not be saved.
#include "base/cfgcenter.h"
#include "base/errorhandler.h"
#include "base/trace.h"

#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

namespace
{

std::atomic<unsigned> g_nTraces{0};
int g_nKillAtStep = -1;

void KillAtStep(int nStep)
{
    if (nStep == g_nKillAtStep)
        std::raise(SIGKILL);
}

// Registered before the error handler exists, so it runs after the handler's
// static storage would have been torn down: the process stays in that state
// until the tracing thread has written more lines (bounded, in case it stalls).
void AwaitTracesDuringExit()
{
    const unsigned start = g_nTraces;
    for (int spin = 0; spin < 10000000 && g_nTraces < start + 100; ++spin)
        std::this_thread::yield();
}

// The thread is detached and never joined: it still traces while the
// process runs its exit handlers and destroys static objects.
int ExitWhileTracing()
{
    std::atexit(AwaitTracesDuringExit);
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT | ErrorHandler::ASSERT_BIT);
    // A sink with state of its own, as a log writer has: were the handler
    // destroyed, every further line would touch freed memory.
    auto lines = std::make_shared<std::atomic<unsigned>>(0);
    ErrorHandler::Instance().SetSink([lines](const QString&) { ++*lines; });
    std::thread([] {
        for (;;) {
            _Q_Trace(QStringLiteral("still running"), __FILE__, __LINE__);
            _Q_TraceOld("still %s", "running");
            ++g_nTraces;
        }
    }).detach();
    while (g_nTraces == 0)
        std::this_thread::yield();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("mask"))
        return std::printf("%u\n", ErrorHandler::Instance().GetTraceMask()) < 0;
    if (command == QLatin1String("keepmodule"))
        return CfgCenter::CreateDllInstanceByFileName(QStringLiteral("TestModule.dll"), QStringLiteral("owner"),
                                                      false, false) == nullptr;
    if (command == QLatin1String("traceatexit"))
        return ExitWhileTracing();
    if (argc < 4)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[2]);
    const QString key = QString::fromLocal8Bit(argv[3]);
    const QString argument = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
    const auto open = [&path] {
        std::unique_ptr<ICfg> cfg(CfgCenter::CreateCfg(QStringLiteral("Shared"), ICfg::User, QString()));
        return std::unique_ptr<ICfg>(cfg->GetSubCfg(path, ICfg::User));
    };
    if (command == QLatin1String("app")) {
        CfgCenter::GetAppCfg(ICfg::User).SetString(key, argument, 0);
        return 0;
    }
    if (command == QLatin1String("flood")) {
        const rlimit fileSize{argument.toULong(), argument.toULong()};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        open()->SetString(key, QString(argument.toInt() * 4, QLatin1Char('x')), 0);
    } else if (command == QLatin1String("killat")) {
        g_nKillAtStep = argument.toInt();
        CfgCenter::SetLockStepHookForTesting(KillAtStep);
        open()->SetString(key, QStringLiteral("killed"), 0);
    } else if (command == QLatin1String("hold")) {
        const std::unique_ptr<ICfg> section = open();
        if (!CfgCenter::LockForUpdate(*section))
            return 3;
        std::printf("locked\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
    } else if (command == QLatin1String("set")) {
        open()->SetString(key, argument, 0);
    } else if (command == QLatin1String("many")) {
        for (int i = 0; i < argument.toInt(); i += 20) {
            const std::unique_ptr<ICfg> section = open();
            for (int k = i; k < i + 20; ++k)
                section->SetInt(key + QString::number(k), k, 0);
        }
    } else {
        return 2;
    }
    return CfgCenter::Flush() ? 0 : 3;
}
