#pragma once

#include "fusion/fix.h"
#include "tools/kvtfix/cotoutput.h"
#include "tools/kvtfix/fixcommandline.h"
#include "tools/kvtfix/fixpublisher.h"

#include <QJsonObject>
#include <QTextStream>

#include <functional>
#include <memory>
#include <vector>

namespace kvt {

/// The outputs that follow the fixes as they are made: the fixes on the
/// broker (--publish) and Cursor-on-Target events (--cot, each target its
/// own output). Failures are said on `err` as they begin.
class LiveOutputs
{
public:
    using Clock = std::function<qint64()>;

    /// `clock` gives the wall clock in ms since the epoch (the CoT time of an event).
    LiveOutputs(const FixCommandLine& commandLine, QTextStream& err, Clock clock);

    /// Opens the outputs asked for; false with the reason of the first one that cannot be used.
    bool Start(QString& rError);
    /// Sends every output the new fixes.
    void Take(const std::vector<Fix>& fixes);
    /// Settles every output (waiting up to nDrainMs each).
    void Stop(int nDrainMs);

    /// Per output, keyed "<name> <target>", its account: {"offered", "delivered", "lost", "lastFailure"}.
    QJsonObject Summary() const;
    /// True when every output delivered everything offered to it.
    bool IsComplete() const;

private:
    void SendCot(const Fix& fix);
    std::vector<AccountedOutput*> Outputs() const;

    const FixCommandLine& m_commandLine;
    QTextStream& m_err;
    Clock m_clock;
    std::unique_ptr<FixPublisher> m_pPublisher;
    std::vector<std::unique_ptr<CotOutput>> m_lstCot;
};

}
