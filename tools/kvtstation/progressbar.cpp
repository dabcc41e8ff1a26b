#include "tools/kvtstation/progressbar.h"

#include <QByteArray>

#include <unistd.h>

namespace {

const int BAR_WIDTH = 40;

}

ProgressBar::ProgressBar(Clock clock, int tickIntervalMs, std::FILE* pTerminal)
    : ProgressCalculator(std::move(clock), tickIntervalMs, nullptr)
    , m_pTerminal(pTerminal)
{
    connect(this, &ProgressCalculator::Progress, this, &ProgressBar::SlotDraw);
}

bool ProgressBar::IsTerminal(std::FILE* pStream)
{
    return isatty(fileno(pStream)) == 1;
}

void ProgressBar::Finish()
{
    SlotDraw(100);
    std::fprintf(m_pTerminal, "\r%*s\r", BAR_WIDTH + 16, "");
    std::fflush(m_pTerminal);
}

void ProgressBar::SlotDraw(unsigned int percentage)
{
    const int filled = static_cast<int>(percentage) * BAR_WIDTH / 100;
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(BAR_WIDTH - filled, '.');
    std::fprintf(m_pTerminal, "\rstation [%s] %3u %%", bar.constData(), percentage);
    std::fflush(m_pTerminal);
}
