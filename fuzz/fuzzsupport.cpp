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

QString FreshConfigDir()
{
    static QTemporaryDir s_dir;
    static const bool s_bSet = qputenv("KVT_CONFIG_DIR", s_dir.path().toUtf8());
    if (!s_dir.isValid() || !s_bSet)
        Fail("a temporary configuration directory", __FILE__, __LINE__);
    CfgCenter::Reset();
    QDir dir(s_dir.path());
    if (!dir.removeRecursively() || !dir.mkpath(QStringLiteral(".")))
        Fail("an empty configuration directory", __FILE__, __LINE__);
    return s_dir.path();
}

void Fail(const char* property, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
    std::abort();
}

} // namespace Fuzz
