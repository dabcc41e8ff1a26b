#include "base/errorhandler.h"
#include "base/trace.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/tracelog.h"

namespace
{

class TraceTest : public ConfigDirFixture
{
protected:
    void WriteAll()
    {
        _Q_Trace(QStringLiteral("text %1").arg(1), "/src/module/caller.cpp", 12);
        _Q_TraceOld("old %s %d %.1f", "x", 7, 2.5);
        _Q_assert(L"pValue", KVT_WIDE(__FILE__), 34);
    }

    TraceLog m_traces;
};

TEST_F(TraceTest, MaskBitsGateTracesAndAsserts)
{
    ErrorHandler& handler = ErrorHandler::Instance();
    handler.SetTraceMask(0xFF & ~0x22u);
    EXPECT_FALSE(handler.TracesEnabled());
    WriteAll();
    EXPECT_TRUE(m_traces.m_lstLines.isEmpty());

    handler.SetTraceMask(0x02);
    WriteAll();
    EXPECT_EQ(m_traces.m_lstLines, QStringList{"ASSERT tracetest.cpp(34): pValue"});

    m_traces.m_lstLines.clear();
    handler.SetTraceMask(0x20);
    WriteAll();
    EXPECT_EQ(m_traces.m_lstLines, (QStringList{"TRACE caller.cpp(12): text 1", "TRACE: old x 7 2.5"}));
    _Q_Trace(QString(), nullptr, 0); // missing parts are no crash
    _Q_TraceOld(nullptr);
}

TEST_F(TraceTest, MaskIsParsedFromTextAndTheEnvironment)
{
    EXPECT_EQ(ErrorHandler::ParseTraceMask(" 34 "), 34u);
    EXPECT_EQ(ErrorHandler::ParseTraceMask("0xZZ"), 0u);
    qputenv("KVT_TRACE_MASK", "0X2A");
    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"mask"}).readAllStandardOutput(), QByteArray("42\n"));
    qunsetenv("KVT_TRACE_MASK");
}

// Exit used to destroy the error handler under a thread that was still
// tracing; the helper holds the process in that state until the thread has
// traced on, so a destroyed handler shows up in every run.
TEST_F(TraceTest, ExitWhileAnotherThreadTraces)
{
    for (int run = 0; run < 3; ++run) {
        QProcess& helper = RunHelper(HOSTBASE_HELPER, {"traceatexit"});
        ASSERT_EQ(helper.exitStatus(), QProcess::NormalExit) << run;
        ASSERT_EQ(helper.exitCode(), 0) << run << helper.readAllStandardError().toStdString();
    }
}

}
