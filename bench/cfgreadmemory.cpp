#include "base/cfgcenter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>

// Peak memory of reading one configuration file (and of saving one change
// into it), for files of about `megabytes` MB of each shape, as the peak
// resident size of a child process that does only that, less that of a child
// that reads an empty file. Run: cfgreadmemory [megabytes] (default 50).
namespace
{

struct Shape
{
    const char* name;
    /// Appends one repetition of the shape's line(s), numbered n.
    std::function<void(QByteArray&, int)> append;
    /// A shape of one long line writes it once, filled to the size.
    bool bOneLine;
};

struct Peak
{
    long nKiB;
    /// False when the store refused the file (read-only: not read, not saved).
    bool bSaved;
};

// The peak resident size of a child that opens the file and, with bSave,
// changes one key in it.
Peak Measure(bool bSave)
{
    const pid_t child = ::fork();
    if (child == 0) {
        {
            std::unique_ptr<ICfg> cfg(CfgCenter::CreateCfg(QStringLiteral("Case"), ICfg::User, QString()));
            cfg->GetKeys();
            if (bSave)
                cfg->SetString(QStringLiteral("Added"), QStringLiteral("by the save"), 0);
        }
        ::_exit(CfgCenter::Flush() ? 0 : 1);
    }
    int status = 0;
    rusage usage = {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status))
        return {-1, false};
    return {usage.ru_maxrss, WEXITSTATUS(status) == 0};
}

bool WriteCase(const QString& path, const Shape& shape, qint64 nBytes)
{
    QByteArray bytes;
    if (shape.bOneLine) {
        shape.append(bytes, int(nBytes));
    } else {
        for (int n = 0; bytes.size() < nBytes; ++n)
            shape.append(bytes, n);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    const qint64 nBytes = qint64(argc > 1 ? std::atoi(argv[1]) : 50) << 20;
    QTemporaryDir dir;
    qputenv("KVT_CONFIG_DIR", dir.path().toUtf8());
    QDir().mkpath(dir.filePath(QStringLiteral("user")));
    const QString path = dir.filePath(QStringLiteral("user/Case.ini"));

    const Shape shapes[] = {
        {"section header", [](QByteArray& b, int n) { b += '[' + QByteArray(n, 'h') + "]\nKey=1\n"; }, true},
        {"section header of 1-letter sections",
         [](QByteArray& b, int n) { b += '[' + QByteArray(n, 'h').replace("hh", "h/") + "]\nKey=1\n"; }, true},
        {"value", [](QByteArray& b, int n) { b += "Key=" + QByteArray(n, 'v') + '\n'; }, true},
        {"escaped value",
         [](QByteArray& b, int n) { b += "Key=" + QByteArray(n / 2, 'v').replace("v", "\\n") + '\n'; }, true},
        {"empty lines", [](QByteArray& b, int) { b += '\n'; }, false},
        {"comments", [](QByteArray& b, int) { b += ";c\n"; }, false},
        {"keys of 8 characters", [](QByteArray& b, int n) { b += QByteArray::number(n + 10000000) + "=v\n"; }, false},
        {"sections of one key", [](QByteArray& b, int n) { b += '[' + QByteArray::number(n) + "]\nk=v\n"; }, false},
    };
    QFile::resize(path, 0);
    WriteCase(path, Shape{"", [](QByteArray&, int) {}, true}, 0);
    const long baseRead = Measure(false).nKiB;
    const long baseSave = Measure(true).nKiB;
    std::printf("| file of %lld MiB | read: peak MiB | per byte | read and save one key: peak MiB | per byte |\n"
                "|---|---|---|---|---|\n",
                static_cast<long long>(nBytes >> 20));
    // The refusal of a file is reported once per child; the table says it.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    for (const Shape& shape : shapes) {
        if (!WriteCase(path, shape, nBytes))
            return 1;
        const double size = double(QFileInfo(path).size());
        const long read = Measure(false).nKiB - baseRead;
        const Peak save = Measure(true);
        const long saved = save.nKiB - baseSave;
        std::printf("| %s%s | %.0f | %.1f | %.0f | %.1f |\n", shape.name, save.bSaved ? "" : " (refused: read-only)",
                    read / 1024.0, read * 1024.0 / size, saved / 1024.0, saved * 1024.0 / size);
        std::fflush(stdout);
    }
    return 0;
}
