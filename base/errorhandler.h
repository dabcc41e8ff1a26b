#pragma once

#include "kvthost_export.h"

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>

/// The process-wide error handler: holds the trace mask that gates diagnostic
/// traces and assertion reports, and the sink that receives their lines.
///
/// The initial mask comes from the environment variable KVT_TRACE_MASK
/// ("0x22" hexadecimal or "34" decimal; absent or malformed gives 0).
/// The mask and the sink may be used from any thread: traces can arrive on
/// driver threads, so writing a line and replacing the sink are serialised.
/// The handler lives until the process ends (it is never destroyed), so
/// tracing stays safe during exit; a sink must stay callable that long or be
/// reset by its owner.
class KVTHOST_EXPORT ErrorHandler
{
public:
    /// Receives one finished line (without a trailing newline).
    using Sink = std::function<void(const QString& line)>;

    static constexpr unsigned TRACE_BIT = 0x20;
    static constexpr unsigned ASSERT_BIT = 0x02;

    static ErrorHandler& Instance();

    unsigned GetTraceMask() const;
    void SetTraceMask(unsigned mask);
    /// Bit 0x20: diagnostic traces are wanted.
    bool TracesEnabled() const;
    /// Bit 0x02: consistency checks are reported.
    bool AssertsEnabled() const;

    /// Replaces the sink; an empty function restores the default (stderr).
    /// The sink is called with the sink lock held: it must not trace itself.
    void SetSink(Sink sink);
    /// Restores the default sink, which writes each line to stderr.
    void ResetSink();
    /// Hands one line to the current sink, whatever the mask says.
    void Write(const QString& line);

    /// Parses a mask text as KVT_TRACE_MASK does: "0x" prefix for hexadecimal,
    /// otherwise decimal; anything unparsable gives 0.
    static unsigned ParseTraceMask(const QString& text);

    ErrorHandler(const ErrorHandler&) = delete;
    ErrorHandler& operator=(const ErrorHandler&) = delete;

private:
    ErrorHandler();

    std::atomic<unsigned> m_nTraceMask;
    std::mutex m_mtxSink;
    Sink m_sink;
};
