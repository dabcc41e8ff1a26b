#include "tools/kvtstation/stationsummary.h"

#include "devicecontrol/directionfinder/kvtcommon/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "tools/kvtstation/stationcallback.h"
#include "tools/kvtstation/stationenvironment.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuebase.h"

#include <QDir>
#include <algorithm>
#include <csignal>
#include <QJsonArray>
#include <QTextStream>

using namespace NxKVTCommon;

namespace {

/// The reject reasons under their JSON keys, in the order they are shown.
struct ReasonKey
{
    FilterRejectReason eReason;
    const char* pszKey;
};
const ReasonKey s_aREASONS[] = {
    {FilterRejectReason::Tilt, "tilt"},
    {FilterRejectReason::OverheadPass, "overheadPass"},
    {FilterRejectReason::NoQuality, "noQuality"},
};
QJsonArray ToArray(const HwStatusTester::ComponentSet& components)
{
    QJsonArray array;
    for (const QString& name : components)
        array.append(name);
    return array;
}

QString Join(const QJsonArray& array)
{
    QStringList texts;
    for (const QJsonValue value : array)
        texts.append(value.toString());
    return texts.isEmpty() ? QStringLiteral("none") : texts.join(QStringLiteral(", "));
}

/// What the ZOD client shows of itself in the value tree (see the module's ZodStatus):
/// its state, its last error and, for a receiver, what it did with each handover.
QJsonObject ZodAccount(const QString& role)
{
    static const char* const s_aNUMBERS[] = {"Published", "Acknowledged", "Applied", "Coalesced",
                                             "IgnoredOutOfRange", "IgnoredUnknownTag", "IgnoredUnfollowed",
                                             "IgnoredMalformed", "Refused", "Cleared"};
    const QString root = role == QLatin1String("receiver") ? QStringLiteral("/KVTCONTROL/ZOD/Receiver/")
                                                           : QStringLiteral("/KVTCONTROL/ZOD/Sender/");
    values::Tree* pTree = values::Tree::Instance();
    QJsonObject account;
    for (const char* pszName : {"State", "Error"})
        if (const values::ValueBase* pValue = pTree->FindValue(root + QLatin1String(pszName)))
            account.insert(QString::fromLatin1(pszName).toLower(), pValue->GetStringValue());
    for (const char* pszName : s_aNUMBERS)
        if (const values::ValueBase* pValue = pTree->FindValue(root + QLatin1String(pszName)))
            account.insert(QString::fromLatin1(pszName), pValue->GetStringValue().toLongLong());
    return account;
}

QJsonValue PathOrNull(const QString& path)
{
    return path.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(path);
}

}

QJsonObject StationSummary::Collect(const StationCallback& callback, StationEnvironment& environment,
                                    const Outputs& outputs, const std::vector<const AccountedOutput*>& deliveries)
{
    QJsonArray deliveryArray;
    for (const AccountedOutput* pOutput : deliveries)
        deliveryArray.append(CollectDelivery(*pOutput));
    return {
        {"bearings", CollectBearings(callback)},
        {"deliveries", deliveryArray},
        {"sentences",
         QJsonObject{{"written", static_cast<qint64>(environment.GetSentenceOutput().GetAccount().GetDelivered())},
                     {"file", environment.GetSentenceFile()},
                     {"serial", PathOrNull(outputs.strSerialAddress)}}},
        {"commandLog", CollectCommandLog(callback, environment)},
        {"hardware", CollectHardware(environment)},
        {"zod", CollectZod(environment)},
        {"outputs", QJsonObject{{"outputDirectory", outputs.strOutputDir}, {"plot", PathOrNull(outputs.strPlotFile)}}},
    };
}

QJsonObject StationSummary::CollectBearings(const StationCallback& callback)
{
    QJsonObject rejected;
    for (const ReasonKey& reason : s_aREASONS)
        rejected.insert(QString::fromLatin1(reason.pszKey), static_cast<qint64>(callback.GetRejected(reason.eReason)));
    return {{"produced", static_cast<qint64>(callback.GetProduced())},
            {"accepted", static_cast<qint64>(callback.GetAccepted())},
            {"rejected", rejected}};
}

QJsonObject StationSummary::CollectCommandLog(const StationCallback& callback, const StationEnvironment& environment)
{
    QJsonArray files;
    for (const QString& file : environment.GetCommandLogFilesOfThisRun())
        files.append(file);
    return {{"directory", environment.GetCommandLogDir()},
            {"files", files},
            {"commands", static_cast<qint64>(callback.GetCommandsLogged())}};
}

QJsonObject StationSummary::CollectHardware(StationEnvironment& environment)
{
    HwStatusTester& tester = environment.GetHwStatusTester();
    tester.ReadHwListFromTree();
    return {{"checked", tester.GetCheckRequirements()},
            {"missing", ToArray(tester.FindMissingRequiredHardware())},
            {"unknown", ToArray(tester.FindUnknownHardware())}};
}

QJsonObject StationSummary::CollectZod(const StationEnvironment& environment)
{
    const QString role = environment.GetZodRole();
    const bool bConfigured = !role.isEmpty();
    return {{"receiver", role == QLatin1String("receiver")},
            {"role", bConfigured ? QJsonValue(role) : QJsonValue(QJsonValue::Null)},
            {"module", !bConfigured ? QJsonValue(QJsonValue::Null)
                                    : QJsonValue(environment.IsZodLoaded() ? "loaded" : "not found")},
            {"connected", environment.WasZodConnected()},
            {"central", bConfigured ? QJsonValue(environment.GetZodCentral()) : QJsonValue(QJsonValue::Null)},
            {"account", bConfigured ? QJsonValue(ZodAccount(role)) : QJsonValue(QJsonValue::Null)}};
}

QString StationSummary::ZodText(const QJsonObject& zod)
{
    if (zod["role"].isNull())
        return QStringLiteral("not configured");
    if (zod["module"].toString() != QLatin1String("loaded"))
        return QStringLiteral("client module not found");
    const QJsonObject account = zod["account"].toObject();
    if (account["state"].toString() == QLatin1String("refused"))
        return QStringLiteral("login refused by %1: %2").arg(zod["central"].toString(), account["error"].toString());
    QString text = (zod["connected"].toBool() ? QStringLiteral("connected to %1") : QStringLiteral("never connected to %1"))
                       .arg(zod["central"].toString());
    if (!zod["connected"].toBool() && !account["error"].toString().isEmpty())
        text += QStringLiteral(": ") + account["error"].toString();
    if (zod["role"].toString() == QLatin1String("receiver"))
        text += QStringLiteral("; handovers applied %1, coalesced %2, ignored: unfollowed %3, out of range %4, "
                               "malformed %5, unknown tag %6; refused %7")
                    .arg(account["Applied"].toInt())
                    .arg(account["Coalesced"].toInt())
                    .arg(account["IgnoredUnfollowed"].toInt())
                    .arg(account["IgnoredOutOfRange"].toInt())
                    .arg(account["IgnoredMalformed"].toInt())
                    .arg(account["IgnoredUnknownTag"].toInt())
                    .arg(account["Refused"].toInt());
    return text;
}

QJsonObject StationSummary::CollectDelivery(const AccountedOutput& output)
{
    const DeliveryAccount& account = output.GetAccount();
    QJsonArray notices;
    for (const QString& notice : output.GetNotices())
        notices.append(notice);
    return {{"name", output.GetName()},
            {"target", output.GetTarget()},
            {"offered", static_cast<qint64>(account.GetOffered())},
            {"delivered", static_cast<qint64>(account.GetDelivered())},
            {"lost", static_cast<qint64>(account.GetLost())},
            {"pending", static_cast<qint64>(account.GetPending())},
            {"lastFailure", account.GetLastFailure().isEmpty() ? QJsonValue(QJsonValue::Null)
                                                               : QJsonValue(account.GetLastFailure())},
            {"opened", output.HasBeenOpen()},
            {"notices", notices}};
}

void StationSummary::AddRun(QJsonObject& summary, qint64 nElapsedMs, qint64 nDurationMs, int nStopSignal)
{
    const QJsonValue stoppedBy = nStopSignal == SIGINT    ? QJsonValue("SIGINT")
                                 : nStopSignal == SIGTERM ? QJsonValue("SIGTERM")
                                                          : QJsonValue(QJsonValue::Null);
    summary.insert("run", QJsonObject{{"simulatedSeconds", static_cast<double>(nElapsedMs) / 1000.0},
                                      {"plannedSeconds", static_cast<double>(nDurationMs) / 1000.0},
                                      {"stoppedBy", stoppedBy}});
}

int StationSummary::ExitCode(const QJsonObject& summary)
{
    if (summary["zod"]["account"]["state"].toString() == QLatin1String("refused"))
        return EXIT_OUTPUT_UNAVAILABLE;
    int code = EXIT_DELIVERED;
    for (const QJsonValue entry : summary["deliveries"].toArray()) {
        const QJsonObject delivery = entry.toObject();
        if (!delivery["opened"].toBool())
            return EXIT_OUTPUT_UNAVAILABLE;
        if (delivery["lost"].toDouble() > 0 || delivery["pending"].toDouble() > 0)
            code = EXIT_LOSSES;
    }
    return code;
}

void StationSummary::PrintText(QTextStream& out, const QJsonObject& summary)
{
    const QJsonObject run = summary["run"].toObject();
    out << "Simulated time:     " << run["simulatedSeconds"].toDouble() << " of " << run["plannedSeconds"].toDouble()
        << " s";
    if (!run["stoppedBy"].isNull())
        out << ", stopped by " << run["stoppedBy"].toString();
    out << "\n";
    const QJsonObject bearings = summary["bearings"].toObject();
    const QJsonObject rejected = bearings["rejected"].toObject();
    out << "Bearings produced:  " << bearings["produced"].toInt() << "\n";
    out << "  accepted:         " << bearings["accepted"].toInt() << "\n";
    // Translated reasons may be longer than the English ones: the column follows the longest.
    int nReasonWidth = 18;
    for (const ReasonKey& reason : s_aREASONS)
        nReasonWidth = std::max(nReasonWidth, FilterRejectCounter::ReasonText(reason.eReason).size() + 2);
    for (const ReasonKey& reason : s_aREASONS) {
        const QString label = FilterRejectCounter::ReasonText(reason.eReason) + QLatin1Char(':');
        out << "  rejected, " << label.leftJustified(nReasonWidth)
            << rejected[QString::fromLatin1(reason.pszKey)].toInt() << "\n";
    }
    const QJsonObject sentences = summary["sentences"].toObject();
    out << "Sentences written:  " << sentences["written"].toInt() << "\n";
    for (const QJsonValue entry : summary["deliveries"].toArray()) {
        const QJsonObject delivery = entry.toObject();
        out << "  " << (delivery["name"].toString() + QLatin1Char(':')).leftJustified(18)
            << delivery["delivered"].toInt() << " of " << delivery["offered"].toInt() << " delivered, "
            << delivery["lost"].toInt() << " lost";
        if (!delivery["opened"].toBool())
            out << ", never open";
        if (!delivery["lastFailure"].isNull())
            out << "; last failure: " << delivery["lastFailure"].toString();
        out << "\n";
        for (const QJsonValue notice : delivery["notices"].toArray())
            out << "  " << QString().leftJustified(18) << notice.toString() << "\n";
    }
    const QJsonObject commandLog = summary["commandLog"].toObject();
    out << "Commands logged:    " << commandLog["commands"].toInt() << " in "
        << commandLog["files"].toArray().size() << " file(s)\n";
    const QJsonObject hardware = summary["hardware"].toObject();
    out << "Hardware missing:   " << Join(hardware["missing"].toArray()) << "\n";
    out << "Hardware unknown:   " << Join(hardware["unknown"].toArray()) << "\n";
    const QJsonObject zod = summary["zod"].toObject();
    out << (zod["role"].toString() == QLatin1String("sender") ? "ZOD sender:         " : "ZOD receiver:       ")
        << ZodText(zod) << "\n";
    const QJsonObject scenario = summary["scenario"].toObject();
    if (!scenario.isEmpty()) {
        out << "Scenario station:   " << scenario["station"].toString() << " (" << scenario["role"].toString()
            << ")\n";
        const QJsonArray tunings = scenario["tunings"].toArray();
        out << "  tuned:            " << (tunings.isEmpty() ? QStringLiteral("never") : QString());
        for (int i = 0; i < tunings.size(); ++i)
            out << (i > 0 ? ", " : "") << QString::number(tunings[i]["frequency"].toDouble() / 1e6, 'f', 3)
                << " MHz at " << QString::number(tunings[i]["at"].toDouble(), 'f', 2) << " s";
        out << "\n";
    }
    out << "\nOutputs\n";
    out << "  sentence file:    " << sentences["file"].toString() << "\n";
    if (!sentences["serial"].isNull())
        out << "  serial line:      " << sentences["serial"].toString() << "\n";
    out << "  command log:      " << commandLog["directory"].toString() << "\n";
    const QJsonObject outputs = summary["outputs"].toObject();
    if (!outputs["plot"].isNull())
        out << "  polar plot:       " << outputs["plot"].toString() << "\n";
}
