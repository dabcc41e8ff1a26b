#pragma once

#include "devicecontrol/directionfinder/zodclient/zodfollower.h"

#include <QString>

/// What a running ZOD client shows of itself in the value tree, for the
/// station's summary and the user interface, below
/// "/KVTCONTROL/ZOD/Sender/" or "/KVTCONTROL/ZOD/Receiver/":
///
/// - "State" (text): "connecting", "connected", "disconnected" or "refused"
///   (the broker refused the login too often; no more attempts);
/// - "Error" (text): why the last attempt failed or the connection broke, or
///   why the settings cannot be used; empty while connected;
/// - "Published", "Acknowledged" (qint64): messages handed to the broker and
///   acknowledged by it;
/// - receiver only, the outcomes of ZodFollower: "Applied",
///   "IgnoredOutOfRange", "IgnoredUnknownTag", "IgnoredUnfollowed",
///   "IgnoredMalformed", "Refused", "Cleared", "Coalesced" (qint64).
///
/// The values are made on construction (values of the same name already
/// there are reused) and removed on destruction: they are of types this
/// module builds, so none of them may outlive it.
class ZodStatus
{
public:
    static const QString CONNECTING;
    static const QString CONNECTED;
    static const QString DISCONNECTED;
    static const QString REFUSED;

    explicit ZodStatus(bool bReceiver);
    ~ZodStatus();

    ZodStatus(const ZodStatus&) = delete;
    ZodStatus& operator=(const ZodStatus&) = delete;

    /// The folder of one role's values, with a trailing "/".
    static QString Root(bool bReceiver);

    void SetConnection(const QString& state, const QString& error);
    void SetDelivery(qint64 nPublished, qint64 nAcknowledged);
    void SetCounts(const ZodFollower::Counts& counts);

private:
    void SetText(const QString& name, const QString& text);
    void SetNumber(const QString& name, qint64 nNumber);

    QString m_strRoot;
    QStringList m_lstNames;
};
