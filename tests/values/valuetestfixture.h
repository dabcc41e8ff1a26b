#pragma once

#include "base/iobserver.h"
#include "tests/common/tracelog.h"
#include "valueframework/valueclasses/tree.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

/// Starts every test with an empty tree and a captured trace sink.
class ValueTreeTest : public ::testing::Test
{
protected:
    void SetUp() override { values::Tree::Instance()->Clear(); }
    void TearDown() override { values::Tree::Instance()->Clear(); }

    values::Tree& tree() { return *values::Tree::Instance(); }

    TraceLog m_traces;
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
