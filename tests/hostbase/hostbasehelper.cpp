// Second process for the host base tests. Commands (configuration "Shared",
// view User, in KVT_CONFIG_DIR):
//   set <section> <key> <value>   write one value ("" for the top section)
//   get <section> <key>           print the value, or "<absent>"
//   flood <section> <bytes>       limit file size to <bytes>, then write a larger value
//   mask                          print the trace mask taken from KVT_TRACE_MASK
#include "base/cfgcenter.h"
#include "base/errorhandler.h"

#include <QString>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("mask")) {
        std::printf("%u\n", ErrorHandler::Instance().GetTraceMask());
        return 0;
    }
    if (argc < 4)
        return 2;
    std::unique_ptr<ICfg> cfg(CfgCenter::CreateCfg(QStringLiteral("Shared"), ICfg::User, QString()));
    std::unique_ptr<ICfg> subCfg(cfg->GetSubCfg(QString::fromLocal8Bit(argv[2]), ICfg::User));
    ICfg* section = subCfg ? subCfg.get() : cfg.get();
    const QString key = QString::fromLocal8Bit(argv[3]);
    if (command == QLatin1String("set") && argc > 4) {
        section->SetString(key, QString::fromLocal8Bit(argv[4]), 0);
    } else if (command == QLatin1String("get")) {
        const QString value = section->GetString(key, QStringLiteral("<absent>"), 0);
        std::printf("%s\n", value.toUtf8().constData());
    } else if (command == QLatin1String("flood") && argc > 4) {
        const rlim_t limit = QString::fromLocal8Bit(argv[4]).toULong();
        const rlimit fileSize{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        section->SetString(key, QString(static_cast<int>(limit) * 4, QLatin1Char('x')), 0);
    } else {
        return 2;
    }
    return 0;
}
