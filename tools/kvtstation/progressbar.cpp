#include "tools/kvtstation/progressbar.h"

#include <QByteArray>

#include <unistd.h>

namespace {

const int BAR_WIDTH = 40;

}

ProgressBar::ProgressBar(Clock clock, int tickIntervalMs, std::FILE* pStream, Style eStyle)
    : ProgressCalculator(std::move(clock), tickIntervalMs, nullptr)
    , m_pStream(pStream)
    , m_eStyle(eStyle)
{
    connect(this, &ProgressCalculator::Progress, this, &ProgressBar::SlotDraw);
}

bool ProgressBar::IsTerminal(std::FILE* pStream)
{
    return isatty(fileno(pStream)) == 1;
}

void ProgressBar::Finish()
{
    if (m_eStyle == Style::Lines)
        return;
    SlotDraw(100);
    std::fprintf(m_pStream, "\r%*s\r", BAR_WIDTH + 16, "");
    std::fflush(m_pStream);
}

void ProgressBar::SlotDraw(unsigned int percentage)
{
    if (m_eStyle == Style::Lines) {
        std::fprintf(m_pStream, "kvtstation: %u %% simulated\n", percentage);
        std::fflush(m_pStream);
        return;
    }
    const int filled = static_cast<int>(percentage) * BAR_WIDTH / 100;
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(BAR_WIDTH - filled, '.');
    std::fprintf(m_pStream, "\rstation [%s] %3u %%", bar.constData(), percentage);
    std::fflush(m_pStream);
}
