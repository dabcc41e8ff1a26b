#pragma once

#include "base/errorhandler.h"
#include "base/iobserver.h"
#include "valueframework/valueclasses/tree.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

/// Starts every test with an empty tree and a captured trace sink.
class ValueTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        values::Tree::Instance()->Clear();
        ErrorHandler::Instance().SetSink([this](const QString& line) { m_lstLines << line; });
    }
    void TearDown() override
    {
        values::Tree::Instance()->Clear();
        ErrorHandler::Instance().ResetSink();
        ErrorHandler::Instance().SetTraceMask(0);
    }

    bool Logged(const QString& text) const { return m_lstLines.join(QLatin1Char('\n')).contains(text); }
    values::Tree& tree() { return *values::Tree::Instance(); }

    QStringList m_lstLines;
};

/// Records every notification; an optional action runs inside Update.
class RecordingObserver : public IObserver
{
public:
    void Update(Observable* pSender, TChangeCode code) override
    {
        m_lstCalls.emplace_back(pSender, code);
        if (m_onUpdate)
            m_onUpdate(pSender, code);
    }

    std::vector<std::pair<Observable*, TChangeCode>> m_lstCalls;
    std::function<void(Observable*, TChangeCode)> m_onUpdate;
};
