#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

/// Helpers shared by the fuzz targets (one program per target, see fuzz.sh).
namespace Fuzz
{

/// The input bytes as UTF-8 text; invalid sequences become replacement
/// characters, which the code under test must cope with as well.
QString Text(const uint8_t* data, size_t size);

/// A configuration directory of the run's own (KVT_CONFIG_DIR) for one
/// input: empty and with a fresh configuration center while the object
/// lives. Going, it forgets the center's documents and empties the directory
/// again, so that an input leaves no allocation behind: libFuzzer scans the
/// whole heap for leaks after every input that ends with more allocations
/// than it began with, which costs milliseconds.
class ConfigDir
{
public:
    ConfigDir();
    ~ConfigDir();
    ConfigDir(const ConfigDir&) = delete;
    ConfigDir& operator=(const ConfigDir&) = delete;

    const QString& Path() const { return m_strPath; }

private:
    QString m_strPath;
};

/// Reports a broken property and aborts, so that libFuzzer keeps the input.
[[noreturn]] void Fail(const char* property, const char* file, int line);

} // namespace Fuzz

#define FUZZ_CHECK(condition)                                                                                     \
    do {                                                                                                          \
        if (!(condition))                                                                                         \
            Fuzz::Fail(#condition, __FILE__, __LINE__);                                                           \
    } while (false)
