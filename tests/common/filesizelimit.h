#pragma once

#include <sys/resource.h>

#include <QtGlobal>

#include <csignal>

/// Lowers the process's file size limit, with SIGXFSZ ignored so that a write
/// beyond it fails (EFBIG), for the lifetime of the guard.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
        : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*m_previousHandler)(int);
    rlimit m_previous{};
};
