// Second process for the host base tests. Commands (configuration "Shared",
// view User, in KVT_CONFIG_DIR):
//   set <section> <key> <value>   write one value
//   get <section> <key>           print the value, or "<absent>"
//   flood <section> <key> <bytes> limit file size to <bytes>, then write a larger value
//   mask                          print the trace mask taken from KVT_TRACE_MASK
#include "base/cfgcenter.h"
#include "base/errorhandler.h"

#include <sys/resource.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("mask"))
        return std::printf("%u\n", ErrorHandler::Instance().GetTraceMask()) < 0;
    if (argc < 4)
        return 2;
    std::unique_ptr<ICfg> cfg(CfgCenter::CreateCfg(QStringLiteral("Shared"), ICfg::User, QString()));
    std::unique_ptr<ICfg> section(cfg->GetSubCfg(QString::fromLocal8Bit(argv[2]), ICfg::User));
    const QString key = QString::fromLocal8Bit(argv[3]);
    const QString argument = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
    if (command == QLatin1String("get"))
        return std::printf("%s\n", section->GetString(key, QStringLiteral("<absent>"), 0).toUtf8().constData()) < 0;
    if (command == QLatin1String("flood"))
    {
        const rlimit fileSize{argument.toULong(), argument.toULong()};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        section->SetString(key, QString(argument.toInt() * 4, QLatin1Char('x')), 0);
    }
    else if (command == QLatin1String("set"))
        section->SetString(key, argument, 0);
    else
        return 2;
    return 0;
}
