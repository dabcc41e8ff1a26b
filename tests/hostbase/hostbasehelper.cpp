// Second process for the host base tests. Commands (configuration "Shared",
// view User, in KVT_CONFIG_DIR):
//   set <section> <key> <value>   write one value
//   get <section> <key>           print the value, or "<absent>"
//   flood <section> <key> <bytes> limit file size to <bytes>, then write a larger value
//                                 (the process is killed by SIGXFSZ)
//   fill <section> <key> <bytes>  the same with SIGXFSZ ignored: the save fails
//   many <section> <prefix> <n>   write the keys <prefix>0 … <prefix><n-1>, 20 per change set
//   app - <key> <value>           write on the application configuration and end
//                                 without saving explicitly
//   mask                          print the trace mask taken from KVT_TRACE_MASK
// Writing commands exit with 3 when a change could not be saved.
#include "base/cfgcenter.h"
#include "base/errorhandler.h"

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("mask"))
        return std::printf("%u\n", ErrorHandler::Instance().GetTraceMask()) < 0;
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
    if (command == QLatin1String("get"))
        return std::printf("%s\n", open()->GetString(key, QStringLiteral("<absent>"), 0).toUtf8().constData()) < 0;
    if (command == QLatin1String("flood") || command == QLatin1String("fill")) {
        if (command == QLatin1String("fill"))
            std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{argument.toULong(), argument.toULong()};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        open()->SetString(key, QString(argument.toInt() * 4, QLatin1Char('x')), 0);
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
