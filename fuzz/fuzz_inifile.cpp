// A whole configuration file as a person or a cut-off write may leave it,
// read through the public store API. Properties: reading never crashes; the
// content the store makes of the file survives a save and a fresh read
// unchanged; and a file the store wrote itself is written back byte for byte.
// Time: one input in sixteen (chosen by a fixed hash of its bytes, so the
// same input always gets the same treatment) is also read repeated up to
// 64 KiB (as one long line when it holds no line break, as many lines when
// it does). Linear reading takes milliseconds there, quadratic reading
// billions of steps, which exceeds fuzz.sh's per-input timeout and is
// reported as a hang. Reading every input that way would cost more than all
// the rest of a run; the repeated text reaches no code the plain read does
// not, and mutations of an input with a slow shape keep hitting the sixteenth.
#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "fuzz/fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <map>
#include <memory>
#include <utility>

namespace
{

using Content = std::map<QString, std::map<QString, std::pair<QString, bool>>>;

void Collect(ICfg& section, const QString& path, Content& content)
{
    for (const QString& key : section.GetKeys())
        content[path][key] = {section.GetString(key, QString(), 0), section.IsReadOnly(key)};
    for (const QString& name : section.GetSubCfgNames()) {
        const std::unique_ptr<ICfg> sub(section.GetSubCfg(name, ICfg::User));
        FUZZ_CHECK(sub);
        Collect(*sub, path + QLatin1Char('/') + name, content);
    }
}

Content Read(const QString& name = QStringLiteral("Fuzz"))
{
    const std::unique_ptr<ICfg> cfg(CfgCenter::CreateCfg(name, ICfg::User, QString()));
    Content content;
    Collect(*cfg, QString(), content);
    return content;
}

// Makes the store rewrite the file without changing its content: a key that
// does not exist yet is added and removed again.
void Rewrite()
{
    const std::unique_ptr<ICfg> cfg(CfgCenter::CreateCfg(QStringLiteral("Fuzz"), ICfg::User, QString()));
    QString probe = QStringLiteral("probe");
    while (cfg->Contains(probe))
        probe += QLatin1Char('_');
    cfg->SetString(probe, QStringLiteral("x"), 0);
    FUZZ_CHECK(cfg->RemoveKey(probe));
}

QByteArray FileContent(const QString& path)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& content)
{
    FUZZ_CHECK(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly));
    FUZZ_CHECK(file.write(content) == content.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::ConfigDir configDir;
    const QString& dir = configDir.Path();
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    if (size > 0 && qHash(input, 0) % 16 == 0) {
        WriteFile(dir + QStringLiteral("/user/Big.ini"), input.repeated(static_cast<int>(65536 / size)));
        Read(QStringLiteral("Big"));
    }

    const QString path = dir + QStringLiteral("/user/Fuzz.ini");
    WriteFile(path, input);
    const Content parsed = Read();
    Rewrite();
    FUZZ_CHECK(Read() == parsed);
    const QByteArray saved = FileContent(path);
    Rewrite();
    FUZZ_CHECK(FileContent(path) == saved);
    return 0;
}
