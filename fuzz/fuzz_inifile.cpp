// A whole configuration file as a person or a cut-off write may leave it,
// read through the public store API. Properties: reading never crashes; the
// content the store makes of the file survives a save and a fresh read
// unchanged; and a file the store wrote itself is written back byte for byte.
// Time: fuzz.sh runs this with a length cap and a per-input timeout, so a
// line shape that makes parsing super-linear shows up as a hang.
#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "fuzz/fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

Content Read()
{
    const std::unique_ptr<ICfg> cfg(CfgCenter::CreateCfg(QStringLiteral("Fuzz"), ICfg::User, QString()));
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = Fuzz::FreshConfigDir() + QStringLiteral("/user/Fuzz.ini");
    {
        FUZZ_CHECK(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == qint64(size));
    }
    const Content parsed = Read();
    Rewrite();
    FUZZ_CHECK(Read() == parsed);
    const QByteArray saved = FileContent(path);
    Rewrite();
    FUZZ_CHECK(FileContent(path) == saved);
    return 0;
}
