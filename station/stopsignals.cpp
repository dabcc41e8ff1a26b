#include "station/stopsignals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int s_nWriteEnd = -1;
struct sigaction s_aPrevious[2];
const int s_aSIGNALS[2] = {SIGINT, SIGTERM};

void OnSignal(int nSignal)
{
    const unsigned char byte = static_cast<unsigned char>(nSignal);
    // Nothing to do about a full pipe: a stop is on its way already.
    [[maybe_unused]] const ssize_t written = ::write(s_nWriteEnd, &byte, 1);
}

}

StopSignals::StopSignals()
{
    if (::pipe2(m_aPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    s_nWriteEnd = m_aPipe[1];
    m_pNotifier = std::make_unique<QSocketNotifier>(m_aPipe[0], QSocketNotifier::Read);
    connect(m_pNotifier.get(), &QSocketNotifier::activated, this, &StopSignals::SlotReadable);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(s_aSIGNALS); ++i)
        sigaction(s_aSIGNALS[i], &action, &s_aPrevious[i]);
}

StopSignals::~StopSignals()
{
    if (!m_pNotifier)
        return;
    for (size_t i = 0; i < std::size(s_aSIGNALS); ++i)
        sigaction(s_aSIGNALS[i], &s_aPrevious[i], nullptr);
    s_nWriteEnd = -1;
    m_pNotifier.reset();
    ::close(m_aPipe[0]);
    ::close(m_aPipe[1]);
}

void StopSignals::SlotReadable()
{
    unsigned char byte = 0;
    while (::read(m_aPipe[0], &byte, 1) == 1)
        emit Received(byte);
}
