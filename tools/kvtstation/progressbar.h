#pragma once

#include "devicecontrol/directionfinder/kvtcommon/progresscalculator.h"

#include <cstdio>

/// A progress bar on the terminal, driven by ProgressCalculator on the
/// simulation's clock: the bar shows simulated time, also when the
/// simulation runs faster than the wall clock (it is then redrawn more often
/// than once per second). As a bar (on a terminal) Finish() draws 100 % and
/// clears the line for what follows; as lines (for a log) each tick writes
/// one line "kvtstation: <n> % simulated" and Finish() writes nothing.
/// Single-threaded (Qt timer).
class ProgressBar : public ProgressCalculator
{
    Q_OBJECT
public:
    enum class Style
    {
        Bar,
        Lines
    };

    /// clock: the simulated milliseconds; tickIntervalMs: how often to redraw (wall clock).
    ProgressBar(Clock clock, int tickIntervalMs, std::FILE* pStream, Style eStyle = Style::Bar);

    /// Whether a bar can be shown on the stream (it is a terminal).
    static bool IsTerminal(std::FILE* pStream);
    void Finish();

private slots:
    void SlotDraw(unsigned int percentage);

private:
    std::FILE* m_pStream;
    Style m_eStyle;
};
