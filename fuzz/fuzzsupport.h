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

/// A configuration directory of the run's own (KVT_CONFIG_DIR), emptied and
/// with a fresh configuration center on every call, so that one input never
/// sees the files of another. Returns the directory path.
QString FreshConfigDir();

/// Reports a broken property and aborts, so that libFuzzer keeps the input.
[[noreturn]] void Fail(const char* property, const char* file, int line);

} // namespace Fuzz

#define FUZZ_CHECK(condition)                                                                                     \
    do {                                                                                                          \
        if (!(condition))                                                                                         \
            Fuzz::Fail(#condition, __FILE__, __LINE__);                                                           \
    } while (false)
