#include "base/errorhandler.h"
#include "base/trace.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace
{

class TraceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ErrorHandler::Instance().SetSink([this](const QString& line) { m_lstLines << line; });
    }

    void TearDown() override
    {
        ErrorHandler::Instance().ResetSink();
        ErrorHandler::Instance().SetTraceMask(0);
    }

    void WriteAll()
    {
        _Q_Trace(QStringLiteral("text %1").arg(1), "/src/module/caller.cpp", 12);
        _Q_TraceOld("old %s %d %.1f", "x", 7, 2.5);
        _Q_assert(L"pValue", KVT_WIDE(__FILE__), 34);
    }

    QStringList m_lstLines;
};

TEST_F(TraceTest, MaskBitsGateTracesAndAsserts)
{
    ErrorHandler& handler = ErrorHandler::Instance();
    handler.SetTraceMask(0xFF & ~0x22u);
    EXPECT_FALSE(handler.TracesEnabled());
    EXPECT_FALSE(handler.AssertsEnabled());
    WriteAll();
    EXPECT_TRUE(m_lstLines.isEmpty());

    handler.SetTraceMask(0x02);
    WriteAll();
    EXPECT_EQ(m_lstLines, QStringList{QStringLiteral("ASSERT tracetest.cpp(34): pValue")});

    m_lstLines.clear();
    handler.SetTraceMask(0x20);
    WriteAll();
    EXPECT_EQ(m_lstLines, (QStringList{QStringLiteral("TRACE caller.cpp(12): text 1"), QStringLiteral("TRACE: old x 7 2.5")}));
    _Q_Trace(QString(), nullptr, 0);
    _Q_TraceOld(nullptr);
    EXPECT_EQ(m_lstLines.size(), 3);
}

TEST_F(TraceTest, ResetSinkStopsTheCapture)
{
    ErrorHandler::Instance().SetTraceMask(0x22);
    ErrorHandler::Instance().ResetSink();
    _Q_Trace(QStringLiteral("to stderr"), __FILE__, __LINE__);
    EXPECT_TRUE(m_lstLines.isEmpty());
}

TEST(TraceMaskTest, ParsedFromTextAndEnvironment)
{
    EXPECT_EQ(ErrorHandler::ParseTraceMask(QStringLiteral("0x22")), 0x22u);
    EXPECT_EQ(ErrorHandler::ParseTraceMask(QStringLiteral(" 34 ")), 34u);
    EXPECT_EQ(ErrorHandler::ParseTraceMask(QStringLiteral("0xZZ")), 0u);
    EXPECT_EQ(ErrorHandler::ParseTraceMask(QString()), 0u);

    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KVT_TRACE_MASK"), QStringLiteral("0X2A"));
    helper.setProcessEnvironment(environment);
    helper.start(QStringLiteral(HOSTBASE_HELPER), {QStringLiteral("mask")});
    ASSERT_TRUE(helper.waitForFinished(60000));
    EXPECT_EQ(helper.readAllStandardOutput(), QByteArray("42\n"));
}

} // namespace
