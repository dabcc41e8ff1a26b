#include "devicecontrol/directionfinder/kvtcommon/progresscalculator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <vector>

namespace
{

// Reads its time from the test and ticks as often as the test asks.
class TestProgressCalculator : public ProgressCalculator
{
public:
    TestProgressCalculator(Clock clock, int tickIntervalMs)
        : ProgressCalculator(std::move(clock), tickIntervalMs, nullptr)
    {
        connect(this, &ProgressCalculator::Progress,
                [this](unsigned int percentage) { m_lstEmitted.push_back(percentage); });
    }

    bool IsTicking() const { return findChild<QTimer*>()->isActive(); }

    std::vector<unsigned int> m_lstEmitted;
};

class ProgressCalculatorTest : public ::testing::Test
{
protected:
    // The tick as the timer delivers it.
    void TickAt(qint64 nNowMs)
    {
        m_nNowMs = nNowMs;
        QMetaObject::invokeMethod(&m_calculator, "SlotCalculateProgress", Qt::DirectConnection);
    }

    qint64 m_nNowMs = 0;
    TestProgressCalculator m_calculator{[this] { return m_nNowMs; }, ProgressCalculator::TICK_INTERVAL_MS};
};

} // namespace

TEST(ProgressCalculatorTimerTest, TicksEverySecondUntilPastTheEndWithoutFinalEmission)
{
    ProgressCalculator defaultCalculator;
    QTimer* pTimer = defaultCalculator.findChild<QTimer*>();
    ASSERT_NE(pTimer, nullptr);
    defaultCalculator.Start(0);
    EXPECT_FALSE(pTimer->isActive());
    defaultCalculator.Start(2500);
    EXPECT_TRUE(pTimer->isActive());
    EXPECT_EQ(pTimer->interval(), 1000);
    EXPECT_FALSE(pTimer->isSingleShot());

    // Every clock reading is one second after the previous one: Start reads 0, the ticks 1000, 2000, 3000.
    qint64 nNowMs = -1000;
    TestProgressCalculator calculator([&nNowMs] { return nNowMs += 1000; }, 0);
    calculator.Start(2500);
    for (int nRound = 0; nRound < 1000 && calculator.IsTicking(); ++nRound)
        QCoreApplication::processEvents();
    EXPECT_FALSE(calculator.IsTicking());
    EXPECT_EQ(calculator.m_lstEmitted, (std::vector<unsigned int>{40, 80}));
}

TEST_F(ProgressCalculatorTest, EmitsHundredOnlyWhenATickFallsOnTheEnd)
{
    m_calculator.Start(2000);
    TickAt(1000);
    TickAt(2000);
    TickAt(3000);
    EXPECT_EQ(m_calculator.m_lstEmitted, (std::vector<unsigned int>{50, 100}));
    EXPECT_FALSE(m_calculator.IsTicking());
}

TEST_F(ProgressCalculatorTest, ShortJobStopsAtTheFirstTickWithoutEmission)
{
    m_calculator.Start(500);
    TickAt(1000);
    EXPECT_TRUE(m_calculator.m_lstEmitted.empty());
    EXPECT_FALSE(m_calculator.IsTicking());
}

TEST_F(ProgressCalculatorTest, ZeroDurationIsIgnoredAndRestartResetsTheStart)
{
    m_calculator.Start(0);
    EXPECT_FALSE(m_calculator.IsTicking());
    TickAt(1000);
    EXPECT_TRUE(m_calculator.m_lstEmitted.empty());

    m_nNowMs = 10000;
    m_calculator.Start(2500);
    TickAt(11000);
    m_calculator.Start(0);
    EXPECT_TRUE(m_calculator.IsTicking());
    TickAt(12000);
    m_nNowMs = 12500;
    m_calculator.Start(5000);
    TickAt(13500);
    EXPECT_EQ(m_calculator.m_lstEmitted, (std::vector<unsigned int>{40, 80, 20}));
}
