#include "devicecontrol/directionfinder/kvtcommon/progresscalculator.h"

#include <QElapsedTimer>
#include <QTimer>

namespace
{

ProgressCalculator::Clock MonotonicClock()
{
    QElapsedTimer timer;
    timer.start();
    return [timer]() { return timer.elapsed(); };
}

} // namespace

ProgressCalculator::ProgressCalculator(QObject* parent)
    : ProgressCalculator(MonotonicClock(), TICK_INTERVAL_MS, parent)
{
}

ProgressCalculator::ProgressCalculator(Clock clock, int tickIntervalMs, QObject* parent)
    : QObject(parent), m_pTickTimer(new QTimer(this)), m_clock(std::move(clock))
{
    // A coarse timer may fire up to 5 % early, and an early first tick of a
    // 2500 ms run reads 37 % instead of 40 %.
    m_pTickTimer->setTimerType(Qt::PreciseTimer);
    m_pTickTimer->setInterval(tickIntervalMs);
    connect(m_pTickTimer, &QTimer::timeout, this, &ProgressCalculator::SlotCalculateProgress);
}

// The tick timer is a child and goes with this object.
ProgressCalculator::~ProgressCalculator() = default;

void ProgressCalculator::Start(unsigned int expectedDurationMs)
{
    if (expectedDurationMs == 0)
        return;
    Stop();
    m_nExpectedDurationMs = expectedDurationMs;
    m_nStartTimeMs = m_clock();
    m_pTickTimer->start();
}

void ProgressCalculator::SlotCalculateProgress()
{
    if (m_nExpectedDurationMs == 0)
        return;
    const auto elapsedMs = static_cast<quint64>(qMax<qint64>(0, m_clock() - m_nStartTimeMs));
    const quint64 percentage = elapsedMs * 100 / m_nExpectedDurationMs;
    if (percentage > 100)
    {
        Stop();
        return;
    }
    emit Progress(static_cast<unsigned int>(percentage));
}

void ProgressCalculator::Stop()
{
    if (m_pTickTimer->isActive())
        m_pTickTimer->stop();
}
