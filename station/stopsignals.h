#pragma once

#include "kvtstationlib_export.h"

#include <QObject>
#include <QSocketNotifier>

#include <memory>

/// Turns SIGINT and SIGTERM into a Qt signal delivered from the event loop,
/// so that the station can stop between two bearing blocks, settle its
/// outputs and print its summary. The handler only writes the signal number
/// into a pipe; everything else runs on the thread of the event loop. The
/// earlier handlers come back with the destructor. One instance at a time.
class KVTSTATION_EXPORT StopSignals : public QObject
{
    Q_OBJECT

public:
    StopSignals();
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    /// False when the pipe could not be made; the signals then keep their
    /// earlier handlers.
    bool IsActive() const { return m_pNotifier != nullptr; }

signals:
    void Received(int nSignal);

private:
    void SlotReadable();

    int m_aPipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_pNotifier;
};
