#include "fuzz/fuzzsupport.h"

#include "base/cfgcenter.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Fuzz
{

QString Text(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
}

namespace
{

void EmptyConfigDir(const QString& path)
{
    CfgCenter::Reset();
    QDir dir(path);
    if (!dir.removeRecursively() || !dir.mkpath(QStringLiteral(".")))
        Fail("an empty configuration directory", __FILE__, __LINE__);
}

} // namespace

ConfigDir::ConfigDir()
{
    static QTemporaryDir s_dir;
    static const bool s_bSet = qputenv("KVT_CONFIG_DIR", s_dir.path().toUtf8());
    if (!s_dir.isValid() || !s_bSet)
        Fail("a temporary configuration directory", __FILE__, __LINE__);
    m_strPath = s_dir.path();
    EmptyConfigDir(m_strPath);
}

ConfigDir::~ConfigDir()
{
    EmptyConfigDir(m_strPath);
}

void Fail(const char* property, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
    std::abort();
}

} // namespace Fuzz
