#pragma once

#include "base/deliveryaccount.h"
#include "kvthost_export.h"

#include <QObject>
#include <QString>
#include <QStringList>

/// An output that keeps a delivery account of what it is given and tells its host when delivery
/// fails, as it happens: the base of the DF data output's sinks and of other outputs a host adds.
///
/// FailureReported comes when a failure begins or its kind or reason changes; further losses of the same
/// failure are only counted. DeliveryResumed ends the failure: it comes with the first delivery
/// after it that leaves nothing pending (a slow line that delivers old sentences while it drops
/// new ones is still failing).
/// NoticeReported says a remark once per text (for example that a line is too slow for the
/// sentences given to it); GetNotices() keeps them.
///
/// Derived classes offer each item, then deliver or lose it (see DeliveryAccount) and mark the
/// moment the output could first take data. Single-threaded: the signals are emitted on the
/// thread that offers and delivers.
class KVTHOST_EXPORT AccountedOutput : public QObject
{
    Q_OBJECT

public:
    /// The kind of an output's failure, for a host that acts on it; the account's last failure
    /// says it for people, in the words of the system or the device.
    enum class Failure
    {
        None,         ///< nothing failed yet
        Open,         ///< the target could not be opened (a file, a line, a broker's address)
        Write,        ///< the target refused an item (a full disk, a broker that refuses)
        Overflow,     ///< more waits than the target can take (a slow line, a full queue)
        Disconnected  ///< the target went away (a line hung up, a broker lost)
    };

    ~AccountedOutput() override;

    /// A short name for people ("file", "serial").
    QString GetName() const { return m_strName; }
    /// Where the items go (a path, an address); empty before the output was first opened.
    QString GetTarget() const { return m_strTarget; }
    const DeliveryAccount& GetAccount() const { return m_account; }
    /// True once the output could take data (a file opened, a line open).
    bool HasBeenOpen() const { return m_bHasBeenOpen; }
    QStringList GetNotices() const { return m_lstNotices; }
    /// The kind of the last failure, as GetAccount().GetLastFailure() tells it; None before any.
    Failure GetFailure() const { return m_eFailure; }

signals:
    void FailureReported(const QString& reason);
    void DeliveryResumed();
    void NoticeReported(const QString& text);

protected:
    explicit AccountedOutput(const QString& name, QObject* pParent = nullptr);

    void SetTarget(const QString& target) { m_strTarget = target; }
    void MarkOpen() { m_bHasBeenOpen = true; }
    void Offer(quint64 nCount);
    void Deliver(quint64 nCount);
    /// A failure is new, and reported, when its kind or its reason differs from the last one's.
    void Lose(quint64 nCount, Failure eFailure, const QString& reason);
    /// A failure that loses nothing by itself, such as a file that cannot be opened.
    void ReportFailure(Failure eFailure, const QString& reason);
    void Notice(const QString& text);

private:
    QString m_strName;
    QString m_strTarget;
    DeliveryAccount m_account;
    bool m_bHasBeenOpen = false;
    bool m_bFailing = false;
    Failure m_eFailure = Failure::None;
    QStringList m_lstNotices;
};
