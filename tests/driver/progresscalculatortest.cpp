#include "devicecontrol/directionfinder/kvtcommon/progresscalculator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <tuple>
#include <vector>

namespace
{

// Reads its time from the test: every reading advances the clock by m_nStepMs.
class TestProgressCalculator : public ProgressCalculator
{
public:
    explicit TestProgressCalculator(int tickIntervalMs = TICK_INTERVAL_MS)
        : ProgressCalculator([this] { return m_nNowMs += m_nStepMs; }, tickIntervalMs, nullptr)
    {
        connect(this, &ProgressCalculator::Progress,
                [this](unsigned int percentage) { m_lstEmitted.push_back(percentage); });
    }

    bool IsTicking() const { return findChild<QTimer*>()->isActive(); }
    // The tick as the timer delivers it.
    void Tick() { QMetaObject::invokeMethod(this, "SlotCalculateProgress", Qt::DirectConnection); }

    qint64 m_nNowMs = 0;
    qint64 m_nStepMs = 0;
    std::vector<unsigned int> m_lstEmitted;
};

} // namespace

TEST(ProgressCalculatorTest, TicksFromTheEventLoopUntilPastTheEndWithoutFinalEmission)
{
    // Start reads 0, the ticks from the event loop (a repeating timer) 1000, 2000 and 3000.
    TestProgressCalculator calculator(0);
    calculator.m_nNowMs = -1000;
    calculator.m_nStepMs = 1000;
    calculator.Start(2500);
    for (int nRound = 0; nRound < 1000 && calculator.IsTicking(); ++nRound)
        QCoreApplication::processEvents();
    EXPECT_FALSE(calculator.IsTicking());
    EXPECT_EQ(calculator.m_lstEmitted, (std::vector<unsigned int>{40, 80}));
}

TEST(ProgressCalculatorTest, StartsRestartsAndStops)
{
    constexpr int TICK = -1;
    // At the clock reading: Start(nStart) or a tick; whether it ticks afterwards.
    const std::tuple<qint64, int, bool> aSteps[] = {
        {0, 0, false},      {1000, TICK, false},                      // 0 is ignored
        {0, 2000, true},    {1000, TICK, true},   {2000, TICK, true}, // 50, 100 on the end,
        {3000, TICK, false},                                          // silent stop past it
        {3000, 500, true},  {4000, TICK, false},                      // short job: no emission
        {10000, 2500, true}, {11000, TICK, true}, {11000, 0, true},   // 40, 0 ignored while running,
        {12000, TICK, true}, {12500, 5000, true}, {13500, TICK, true}, // 80, restart: 20
    };
    TestProgressCalculator calculator;
    for (const auto& [nNowMs, nStart, bTicking] : aSteps)
    {
        calculator.m_nNowMs = nNowMs;
        nStart == TICK ? calculator.Tick() : calculator.Start(static_cast<unsigned int>(nStart));
        EXPECT_EQ(calculator.IsTicking(), bTicking) << nNowMs;
    }
    EXPECT_EQ(calculator.m_lstEmitted, (std::vector<unsigned int>{50, 100, 40, 80, 20}));
}
