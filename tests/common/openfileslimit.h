#pragma once

#include <sys/resource.h>

#include <fcntl.h>

/// Lets the process open only n more files, as when it has used up its file
/// handles, for the lifetime of the guard: RLIMIT_NOFILE goes just above its
/// n lowest free descriptors. Meant for stretches of a test where no other
/// thread opens files.
class OpenFilesLimit
{
public:
    explicit OpenFilesLimit(int n)
    {
        getrlimit(RLIMIT_NOFILE, &m_previous);
        int fd = 0;
        for (int nFree = 0; fcntl(fd, F_GETFD) != -1 || nFree++ < n;)
            ++fd;
        rlimit limit = m_previous;
        limit.rlim_cur = static_cast<rlim_t>(fd);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    ~OpenFilesLimit() { setrlimit(RLIMIT_NOFILE, &m_previous); }
    OpenFilesLimit(const OpenFilesLimit&) = delete;
    OpenFilesLimit& operator=(const OpenFilesLimit&) = delete;

private:
    rlimit m_previous{};
};
