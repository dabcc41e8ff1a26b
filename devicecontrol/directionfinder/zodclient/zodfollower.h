#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>

class IObserver;

/// The receiver's judgement of parameter messages from the senders it
/// follows: which of them tune the station, and how many were not applied
/// for which reason.
///
/// Four kinds of parameter tune: "FRQ", "BW", "DEM" and the mode tag given by
/// SetModeParameter; each is written to the value-tree value at the path the
/// receiver was given for its tag, with the adaptation rule
/// "AdAlgSelectEqualOrBiggerValue" choosing the smallest bandwidth item at or
/// above the sender's when the receiver has no item of the same name. Only a
/// sender whose frequency lies inside the receiver's range (bounds included)
/// tunes it: its "FRQ" is applied together with the latest of its other
/// parameters, and each later parameter as it comes. Everything else is not
/// applied and only counted: a sender not followed, a tag not among the four
/// kinds or not given to the receiver, a payload that is not a parameter text
/// (see ZodPayload), a frequency outside the range or no range yet, a value
/// that is missing or does not take the text. An empty payload means that the
/// sender has no such parameter any more: it is forgotten.
///
/// A device cannot follow a burst of changes, and a burst must not starve
/// it: after a tuning, the next one waits until the dwell (DEFAULT_DWELL_MS)
/// has passed. What arrives meanwhile is held back, the last sender wins:
/// once due (ApplyDue()), the sender of the last held message tunes the
/// receiver: with its latest frequency and other parameters when a frequency
/// was held, else with the latest text of each tag held. Each held message
/// that a later one replaced counts as coalesced. The caller gives
/// the time (a steady clock in milliseconds) with every call.
///
/// Single-threaded: call it on the value tree's thread.
class ZodFollower
{
public:
    enum class Outcome
    {
        APPLIED,
        OUT_OF_RANGE,
        UNKNOWN_TAG,
        UNFOLLOWED,
        MALFORMED,
        REFUSED,
        CLEARED,
        COALESCED,
        /// Held back by the dwell; counted when applied or replaced.
        DEFERRED
    };

    /// What happened to the messages received so far; a deferred parameter
    /// that an in-range "FRQ" applies later counts once more as applied.
    struct Counts
    {
        qint64 nApplied = 0;
        qint64 nOutOfRange = 0;
        qint64 nUnknownTag = 0;
        qint64 nUnfollowed = 0;
        qint64 nMalformed = 0;
        qint64 nRefused = 0;
        qint64 nCleared = 0;
        qint64 nCoalesced = 0;
    };

    static constexpr int DEFAULT_DWELL_MS = 50;

    static const QString FREQUENCY_TAG;
    static const QString BANDWIDTH_TAG;
    static const QString DEMODULATION_TAG;
    static const QString SELECT_EQUAL_OR_BIGGER;

    /// `pWriter` is named as the sender of every value change (may be null).
    explicit ZodFollower(IObserver* pWriter);

    /// The sender names followed; what is known about others is forgotten.
    void SetTargets(const QStringList& targets);
    /// False, keeping the previous range, for a text ZodPayload::Range refuses.
    bool SetRange(const QString& range);
    void AddParameter(const QString& tag, const QString& valuePath, const QString& adaptationRule);
    void SetModeParameter(const QString& valuePath, const QString& tag);

    Outcome Receive(const QString& topic, const QByteArray& payload, qint64 nNowMs);
    /// When the held-back tuning is due (ms, the callers' clock); -1 when nothing is held.
    qint64 GetDueMs() const { return m_strHeld.isEmpty() ? -1 : m_nLastTuneMs + m_nDwellMs; }
    /// Applies the held-back tuning when it is due.
    void ApplyDue(qint64 nNowMs);
    void SetDwell(int nMs) { m_nDwellMs = nMs; }
    /// Counts a message dropped on arrival for its size as malformed.
    void CountOversized() { Count(Outcome::MALFORMED); }
    const Counts& GetCounts() const { return m_counts; }

private:
    struct Target
    {
        QString strPath;
        QString strRule;
    };
    /// What is known of one followed sender.
    struct SenderState
    {
        bool bFrequencyKnown = false;
        double fFrequency = 0.0;
        std::map<QString, QString> mapLatest;  ///< tag -> text, not FRQ
    };

    bool IsTuningTag(const QString& tag) const;
    /// True when a tuning of `sender` now must wait for the dwell (it is then held).
    bool Hold(const QString& sender, const QString& tag, qint64 nNowMs);
    /// The sender's frequency with its latest other parameters; the frequency's outcome.
    Outcome TuneTo(const SenderState& state);
    bool InRange(double fFrequency) const;
    Outcome Apply(const QString& tag, const QString& text);
    Outcome Count(Outcome eOutcome);

    IObserver* m_pWriter;
    QStringList m_lstTargets;
    bool m_bRange = false;
    double m_fMinimum = 0.0;
    double m_fMaximum = 0.0;
    QString m_strModeTag;
    std::map<QString, Target> m_mapTargets;  ///< tag -> where it is written
    std::map<QString, SenderState> m_mapSenders;
    Counts m_counts;
    int m_nDwellMs = DEFAULT_DWELL_MS;
    bool m_bTuned = false;
    qint64 m_nLastTuneMs = 0;
    /// The sender whose tuning waits for the dwell, and its tags held; empty: none.
    QString m_strHeld;
    QStringList m_lstHeldTags;
};
