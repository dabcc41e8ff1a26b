#pragma once

#include "kvtcommon_export.h"

#include <QObject>

#include <functional>

class QTimer;

/// Turns an expected duration into a percentage that advances with time: once started, it emits
/// Progress() with the elapsed share of the duration once per tick (every second) until the
/// duration has passed. The first tick past the end stops the ticks without a final emission, so
/// 100 appears only when a tick falls exactly on the end.
///
/// Elapsed time comes from a monotonic clock rather than the time of day, so a clock change or
/// midnight during a run does not make the progress jump. Single-threaded: use it on the thread
/// that owns it (Qt timer).
class KVTCOMMON_EXPORT ProgressCalculator : public QObject
{
    Q_OBJECT

public:
    /// Milliseconds on a monotonic scale with an arbitrary origin.
    using Clock = std::function<qint64()>;

    static constexpr int TICK_INTERVAL_MS = 1000;

    explicit ProgressCalculator(QObject* parent = nullptr);
    ~ProgressCalculator() override;

    /// Restarts from 0 % with the given duration and ticks every second. 0 is ignored: a running
    /// calculation continues unchanged.
    void Start(unsigned int expectedDurationMs);

signals:
    /// Percentage of the expected duration that has elapsed.
    void Progress(unsigned int percentage);

protected:
    /// For tests and embedding: a different clock and tick interval.
    ProgressCalculator(Clock clock, int tickIntervalMs, QObject* parent);

private slots:
    void SlotCalculateProgress();

private:
    void Stop();

    unsigned int m_nExpectedDurationMs = 0;
    QTimer* m_pTickTimer;
    Clock m_clock;
    qint64 m_nStartTimeMs = 0;
};
