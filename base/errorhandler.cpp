#include "base/errorhandler.h"

#include <cstdio>

namespace
{

void WriteToStderr(const QString& line)
{
    const QByteArray text = line.toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
    std::fflush(stderr);
}

} // namespace

ErrorHandler::ErrorHandler()
    : m_nTraceMask(ParseTraceMask(qEnvironmentVariable("KVT_TRACE_MASK")))
    , m_sink(WriteToStderr)
{
}

// Never destroyed: a driver thread may still trace while the process exits
// and static objects are torn down, and a handler destroyed under it (its
// mutex and sink) crashes the process. The object is intentionally leaked;
// the static pointer keeps it reachable, so leak checkers do not report it.
ErrorHandler& ErrorHandler::Instance()
{
    static ErrorHandler* const s_pInstance = new ErrorHandler();
    return *s_pInstance;
}

unsigned ErrorHandler::GetTraceMask() const
{
    return m_nTraceMask.load();
}

void ErrorHandler::SetTraceMask(unsigned mask)
{
    m_nTraceMask.store(mask);
}

bool ErrorHandler::TracesEnabled() const
{
    return (GetTraceMask() & TRACE_BIT) != 0;
}

bool ErrorHandler::AssertsEnabled() const
{
    return (GetTraceMask() & ASSERT_BIT) != 0;
}

void ErrorHandler::SetSink(Sink sink)
{
    std::lock_guard<std::mutex> lock(m_mtxSink);
    m_sink = sink ? std::move(sink) : Sink(WriteToStderr);
}

void ErrorHandler::ResetSink()
{
    SetSink(Sink());
}

void ErrorHandler::Write(const QString& line)
{
    std::lock_guard<std::mutex> lock(m_mtxSink);
    m_sink(line);
}

unsigned ErrorHandler::ParseTraceMask(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const unsigned mask = trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
        ? trimmed.mid(2).toUInt(&ok, 16)
        : trimmed.toUInt(&ok, 10);
    return ok ? mask : 0;
}
