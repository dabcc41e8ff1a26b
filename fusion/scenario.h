#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

/// The scenario file of a simulated DF network (docs/scenario.md): the
/// emitters (the truth a fix is judged by), the stations with their
/// positions, motion, bearing noise and roles, and the senders' handovers.
class Scenario
{
public:
    struct Emitter
    {
        QString strName;
        double fLatitude = 0.0;
        double fLongitude = 0.0;
        double fFrequency = 0.0;
        double fBandwidth = 0.0;
        /// dBm; optional, DEFAULT_POWER when absent.
        double fPower = DEFAULT_POWER;
        double fOn = 0.0;
        double fOff = 0.0;
        /// Taking turns (optional): within fOn..fOff the emitter talks for
        /// fTalk seconds of every fCycle, from fPhase on; fCycle 0 is always.
        double fCycle = 0.0;
        double fTalk = 0.0;
        double fPhase = 0.0;

        /// Whether it transmits `t` seconds after the start.
        bool IsOn(double t) const;
    };
    /// Platform pitch and roll, sinusoidal; all 0 (optional in the file) is a platform at rest.
    struct Motion
    {
        double fPitch = 0.0;
        double fRoll = 0.0;
        /// Seconds; above 0 when there is motion.
        double fPeriod = 0.0;
    };
    /// What goes wrong with a station's bearings (optional, all 0 by default), as shares of its bearings.
    struct Faults
    {
        /// Bearings uniform over the circle.
        double fWild = 0.0;
        /// Bearings of a reflection: fReflectionOffset degrees off the true line, with the station's noise.
        double fReflection = 0.0;
        double fReflectionOffset = 0.0;
        /// Bearings stamped fFutureSeconds ahead of their time (a station with a wrong clock).
        double fFuture = 0.0;
        double fFutureSeconds = 0.0;
    };
    /// A station driving back and forth along a straight track (optional;
    /// speed 0 is a fixed station): from its position along fCourse for
    /// fLength metres, then back, at fSpeed metres per second.
    struct Track
    {
        double fCourse = 0.0;
        double fSpeed = 0.0;
        double fLength = 0.0;
    };
    enum class Role
    {
        Sender,
        Receiver
    };
    struct Station
    {
        QString strName;
        double fLatitude = 0.0;
        double fLongitude = 0.0;
        double fHeading = 0.0;
        double fSigma = 0.0;
        double fFrequencyMin = 0.0;
        double fFrequencyMax = 0.0;
        Motion motion;
        Role eRole = Role::Receiver;
        /// The senders a receiver follows, as given (optional, default none).
        QStringList lstFollows;
        Faults faults;
        Track track;

        /// Where it is `t` seconds after the start.
        void PositionAt(double t, double& rLatitude, double& rLongitude) const;
    };
    /// A sender tunes to and hands over the frequency `fAt` seconds after the start.
    struct Handover
    {
        double fAt = 0.0;
        QString strStation;
        double fFrequency = 0.0;
    };

    static constexpr double DEFAULT_POWER = 30.0;

    /// Reads the file; false with "<file>: <reason>" (naming the field) when
    /// it cannot be read or is invalid (besides the fields' own ranges: a
    /// handover by a station that is not a sender of the scenario). The
    /// scenario is unchanged then.
    bool Load(const QString& fileName, QString& rError);
    /// The same for the file's bytes; the reason names the field.
    bool Parse(const QByteArray& text, QString& rError);

    qint64 GetStartMs() const { return m_nStartMs; }
    const std::vector<Emitter>& GetEmitters() const { return m_lstEmitters; }
    const std::vector<Station>& GetStations() const { return m_lstStations; }
    /// In the file's order.
    const std::vector<Handover>& GetHandovers() const { return m_lstHandovers; }
    /// The station of that name, or null.
    const Station* FindStation(const QString& name) const;

private:
    qint64 m_nStartMs = 0;
    std::vector<Emitter> m_lstEmitters;
    std::vector<Station> m_lstStations;
    std::vector<Handover> m_lstHandovers;
};
