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

ErrorHandler& ErrorHandler::Instance()
{
    static ErrorHandler s_instance;
    return s_instance;
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
