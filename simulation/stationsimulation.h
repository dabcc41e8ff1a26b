#pragma once

#include "devicecontrol/directionfinder/kvtcommon/legacydriveradapter.h"
#include "simulation/emitterstate.h"
#include "simulation/simulatedlegacydriver.h"
#include "simulation/simulationrandom.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class ScenarioWorld;
class StationCallback;

/// The world around the simulated station and the station's operating
/// schedule, on a simulated clock that advances STEP_MS per step.
///
/// The device is the simulated legacy driver, reached as an IDriver through
/// LegacyDriverAdapter, reporting through the adapter to the station's
/// callback. The schedule, in shares of the run:
///   0    – 0.25  fixed-frequency mode on a ship's marine VHF channel,
///   0.25 – 0.5   fixed-frequency mode on the aircraft frequency,
///   0.5  – 1     scan over four ranges (SR status "Running");
///   0.1  – 0.2 and 0.6 – 0.7  rough sea: the platform rolls past its threshold;
///   0.55 – 0.8   the data link is slow (connection speed 1): weak bearings
///                come without quality;
///   an aircraft passes overhead, above 60° elevation from about 0.3 to 0.7.
/// Platform attitude, heading and the time of the position fix are published
/// below the device node at every step; the station lies at anchor, so its
/// position stays as the setup has it.
///
/// With a scenario (UseScenario) the station is one of the scenario's instead:
/// see UseScenario().
///
/// Fast by default: steps follow each other as soon as the event loop is
/// free; in real time one step per STEP_MS of wall-clock time. Everything
/// random comes from the seed; the simulated clock starts at the wall-clock
/// time of Start(), so that time stamps look like the day's. Single-threaded
/// (Qt timer).
class StationSimulation : public QObject
{
    Q_OBJECT
public:
    static constexpr int STEP_MS = 50;

    StationSimulation(quint32 seed, int seconds, bool realtime, const QString& devicePath, StationCallback& callback);
    ~StationSimulation() override;

    /// A change of the device's tuning in a scenario: when, in simulated
    /// milliseconds since Start(), and to which frequency (Hz).
    struct Tuning
    {
        qint64 nElapsedMs;
        double fFrequency;
    };

    /// Runs one station of a scenario instead of the schedule; call it before
    /// Start(). The clock starts at the scenario's start, the platform keeps
    /// the station's heading and moves as its motion says, and the device
    /// stays in fixed-frequency mode with the station's rated spread. It
    /// tunes, at the next step, to whatever the device's frequency value is
    /// set to (this is how a ZOD handover reaches a receiver, which starts
    /// untuned, at 0 Hz). A sender listens from the start on the frequency it
    /// hands over first and, at each of its handovers, writes the frequency to
    /// the handover value (handoverPath) and tunes to it.
    void UseScenario(std::unique_ptr<ScenarioWorld> pWorld, const QString& handoverPath);
    /// Sets the device's frequency value, which a scenario's station is tuned
    /// to at its start: call it before the ZOD client starts, so that a
    /// handover that arrives while the station is set up is not overwritten.
    static void PresetFrequency(const QString& devicePath, double fFrequency);
    /// The tunings of a scenario's station, in time order (the first one at 0
    /// for a sender); empty without a scenario.
    const std::vector<Tuning>& GetTunings() const { return m_lstTunings; }

    /// Brings the device up (initialisation, hardware status, first mode) and
    /// starts the clock.
    void Start();
    /// Ends the run after the current step: Finished follows at once.
    void Stop();
    /// Simulated milliseconds since Start().
    qint64 GetElapsedMs() const { return m_nElapsedMs; }
    qint64 GetDurationMs() const { return m_nDurationMs; }
    /// The simulated clock in milliseconds since the epoch, as in the bearings' time stamps.
    quint64 GetClockMs() const { return m_nStartTimeMs + static_cast<quint64>(m_nElapsedMs); }
    /// The platform's true heading in degrees as the device reports it now; -1 before it reports one.
    double GetHeading() const;
    /// Stops the clock (no step, no bearing) until resumed; nothing happens after the end.
    void SetPaused(bool bPaused);
    bool IsPaused() const { return m_bPaused; }

signals:
    /// The simulated time has run out; no further step follows.
    void Finished();

private slots:
    void SlotStep();

private:
    enum class Phase
    {
        ShipChannel,
        AircraftChannel,
        Scan
    };

    void PublishDeviceInfo();
    /// One step of a scenario's station.
    void StepScenario();
    /// Tunes the device when its frequency value differs from the tuning.
    void FollowFrequencyValue();
    void EnterPhase(Phase ePhase);
    void PublishPlatform(double share);
    std::vector<EmitterState> Emitters(double share) const;
    /// The share of the run that has passed.
    double Share() const;

    QString m_strDevicePath;
    SimulationRandom m_random;
    SimulatedLegacyDriver m_legacyDriver;
    NxKVTCommon::LegacyDriverAdapter m_adapter;
    /// The adapter as the application sees it.
    NxKVTCommon::IDriver& m_driver;
    QTimer m_stepTimer;
    quint64 m_nStartTimeMs = 0;
    qint64 m_nElapsedMs = 0;
    qint64 m_nDurationMs;
    Phase m_ePhase = Phase::ShipChannel;
    bool m_bSlowLink = false;
    bool m_bPaused = false;
    bool m_bFinished = false;
    std::unique_ptr<ScenarioWorld> m_pWorld;
    QString m_strHandoverPath;
    std::vector<Tuning> m_lstTunings;
    /// Below 0 before the first tuning.
    double m_fTuned = -1.0;
};
