#pragma once

#include "base/iobserver.h"
#include "bench/latencysummary.h"

#include <QString>

#include <functional>
#include <utility>

namespace values
{
class ValueBase;
}

/// Watches a receiver's tuned frequency in the value tree: Expect() names the
/// text the value should get next and when the change was made at the
/// sender; the first notification with that text adds the latency and calls
/// the function given to OnTuned(). The value must outlive the watch.
class TunedWatch : public IObserver
{
public:
    explicit TunedWatch(values::ValueBase* pValue);
    ~TunedWatch() override;

    TunedWatch(const TunedWatch&) = delete;
    TunedWatch& operator=(const TunedWatch&) = delete;

    void Expect(const QString& text, qint64 nChangedAt);
    void OnTuned(std::function<void()> tuned) { m_tuned = std::move(tuned); }
    bool IsTuned() const { return m_bTuned; }
    const LatencySummary& GetLatencies() const { return m_latencies; }
    void ClearLatencies() { m_latencies.Clear(); }

    void Update(Observable* pSender, TChangeCode code) override;

private:
    values::ValueBase* m_pValue;
    QString m_strExpected;
    qint64 m_nChangedAt = 0;
    bool m_bTuned = true;
    std::function<void()> m_tuned;
    LatencySummary m_latencies;
};
