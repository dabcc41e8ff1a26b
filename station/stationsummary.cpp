#include "station/stationsummary.h"

#include "base/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "station/stationcallback.h"
#include "station/stationenvironment.h"
#include "station/treepublication.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuebase.h"

#include <QJsonArray>
#include <QTextStream>

#include <algorithm>
#include <csignal>

using namespace NxKVTCommon;

namespace {

/// The reject reasons under their JSON keys, in the order they are shown.
struct ReasonKey
{
    FilterRejectReason eReason;
    const char* pszKey;
    quint64 StationSummary::*pnCount;
};
const ReasonKey s_aREASONS[] = {
    {FilterRejectReason::Tilt, "tilt", &StationSummary::nRejectedTilt},
    {FilterRejectReason::OverheadPass, "overheadPass", &StationSummary::nRejectedOverheadPass},
    {FilterRejectReason::NoQuality, "noQuality", &StationSummary::nRejectedNoQuality},
};

QStringList ToList(const HwStatusTester::ComponentSet& components)
{
    return QStringList(components.begin(), components.end());
}

QString Join(const QStringList& texts)
{
    return texts.isEmpty() ? QStringLiteral("none") : texts.join(QStringLiteral(", "));
}

QJsonValue Count(quint64 nCount)
{
    return static_cast<qint64>(nCount);
}

QJsonValue TextOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonObject DeliveryJson(const StationSummary::Delivery& delivery)
{
    return {{"name", delivery.strName},
            {"target", delivery.strTarget},
            {"offered", Count(delivery.account.GetOffered())},
            {"delivered", Count(delivery.account.GetDelivered())},
            {"lost", Count(delivery.account.GetLost())},
            {"pending", Count(delivery.account.GetPending())},
            {"lastFailure", TextOrNull(delivery.account.GetLastFailure())},
            {"opened", delivery.bOpened},
            {"notices", QJsonArray::fromStringList(delivery.lstNotices)}};
}

/// What the ZOD client shows of itself in the value tree (see the module's ZodStatus):
/// its state, its last error and, for a receiver, what it did with each handover.
void ReadZodAccount(StationSummary::Zod& rZod)
{
    static const char* const s_aCOUNTS[] = {"Published", "Acknowledged", "Applied", "Coalesced",
                                            "IgnoredOutOfRange", "IgnoredUnknownTag", "IgnoredUnfollowed",
                                            "IgnoredMalformed", "Refused", "Cleared"};
    const QString root = rZod.strRole == QLatin1String("receiver") ? QStringLiteral("/KVTCONTROL/ZOD/Receiver/")
                                                                   : QStringLiteral("/KVTCONTROL/ZOD/Sender/");
    values::Tree* pTree = values::Tree::Instance();
    if (const values::ValueBase* pValue = pTree->FindValue(root + QLatin1String("State")))
        rZod.state = pValue->GetStringValue();
    if (const values::ValueBase* pValue = pTree->FindValue(root + QLatin1String("Error")))
        rZod.error = pValue->GetStringValue();
    for (const char* pszName : s_aCOUNTS) {
        if (const values::ValueBase* pValue = pTree->FindValue(root + QLatin1String(pszName)))
            rZod.mapCounts[QString::fromLatin1(pszName)] = pValue->GetStringValue().toLongLong();
    }
}

QJsonObject ZodAccountJson(const StationSummary::Zod& zod)
{
    QJsonObject account;
    if (zod.state)
        account.insert("state", *zod.state);
    if (zod.error)
        account.insert("error", *zod.error);
    for (const auto& count : zod.mapCounts)
        account.insert(count.first, count.second);
    return account;
}

qint64 CountOf(const StationSummary::Zod& zod, const char* pszName)
{
    const auto it = zod.mapCounts.find(QString::fromLatin1(pszName));
    return it != zod.mapCounts.end() ? it->second : 0;
}

QJsonObject ZodJson(const StationSummary::Zod& zod)
{
    const bool bConfigured = !zod.strRole.isEmpty();
    return {{"receiver", zod.strRole == QLatin1String("receiver")},
            {"role", TextOrNull(zod.strRole)},
            {"module", !bConfigured ? QJsonValue(QJsonValue::Null) : QJsonValue(zod.bLoaded ? "loaded" : "not found")},
            {"connected", zod.bConnected},
            {"central", bConfigured ? QJsonValue(zod.strCentral) : QJsonValue(QJsonValue::Null)},
            {"account", bConfigured ? QJsonValue(ZodAccountJson(zod)) : QJsonValue(QJsonValue::Null)}};
}

QString ZodText(const StationSummary::Zod& zod)
{
    if (zod.strRole.isEmpty())
        return QStringLiteral("not configured");
    if (!zod.bLoaded)
        return QStringLiteral("client module not found");
    const QString error = zod.error.value_or(QString());
    if (zod.state.value_or(QString()) == QLatin1String("refused"))
        return QStringLiteral("login refused by %1: %2").arg(zod.strCentral, error);
    QString text = (zod.bConnected ? QStringLiteral("connected to %1") : QStringLiteral("never connected to %1"))
                       .arg(zod.strCentral);
    if (!zod.bConnected && !error.isEmpty())
        text += QStringLiteral(": ") + error;
    if (zod.strRole == QLatin1String("receiver"))
        text += QStringLiteral("; handovers applied %1, coalesced %2, ignored: unfollowed %3, out of range %4, "
                               "malformed %5, unknown tag %6; refused %7")
                    .arg(CountOf(zod, "Applied"))
                    .arg(CountOf(zod, "Coalesced"))
                    .arg(CountOf(zod, "IgnoredUnfollowed"))
                    .arg(CountOf(zod, "IgnoredOutOfRange"))
                    .arg(CountOf(zod, "IgnoredMalformed"))
                    .arg(CountOf(zod, "IgnoredUnknownTag"))
                    .arg(CountOf(zod, "Refused"));
    return text;
}

QJsonObject RunJson(const StationSummary::Run& run)
{
    const QJsonValue stoppedBy = run.nStopSignal == SIGINT    ? QJsonValue("SIGINT")
                                 : run.nStopSignal == SIGTERM ? QJsonValue("SIGTERM")
                                                              : QJsonValue(QJsonValue::Null);
    return {{"simulatedSeconds", static_cast<double>(run.nElapsedMs) / 1000.0},
            {"plannedSeconds", static_cast<double>(run.nDurationMs) / 1000.0},
            {"stoppedBy", stoppedBy}};
}

QJsonObject ScenarioJson(const StationSummary::Scenario& scenario)
{
    QJsonArray tunings;
    for (const StationSummary::Tuning& tuning : scenario.lstTunings)
        tunings.append(QJsonObject{{"at", tuning.nElapsedMs / 1000.0}, {"frequency", tuning.fFrequency}});
    return {{"station", scenario.strStation}, {"role", scenario.bSender ? "sender" : "receiver"}, {"tunings", tunings}};
}

}

StationSummary StationSummary::Collect(const StationCallback& callback, StationEnvironment& environment,
                                       const kvt::TreePublication& publication, const Outputs& outputs,
                                       const std::vector<const AccountedOutput*>& deliveries)
{
    StationSummary summary;
    summary.nProduced = callback.GetProduced();
    summary.nAccepted = callback.GetAccepted();
    for (const ReasonKey& reason : s_aREASONS)
        summary.*reason.pnCount = callback.GetRejected(reason.eReason);
    for (const AccountedOutput* pOutput : deliveries) {
        summary.lstDeliveries.push_back({pOutput->GetName(), pOutput->GetTarget(), pOutput->GetAccount(),
                                         pOutput->GetFailure(), pOutput->HasBeenOpen(), pOutput->GetNotices()});
    }
    summary.nSentencesWritten = publication.GetSentenceOutput().GetAccount().GetDelivered();
    summary.strSentenceFile = publication.GetSentenceFile();
    summary.outputs = outputs;
    summary.strCommandLogDir = environment.GetCommandLogDir();
    summary.lstCommandLogFiles = environment.GetCommandLogFilesOfThisRun();
    summary.nCommands = callback.GetCommandsLogged();
    HwStatusTester& tester = environment.GetHwStatusTester();
    tester.ReadHwListFromTree();
    summary.bHardwareChecked = tester.GetCheckRequirements();
    summary.lstHardwareMissing = ToList(tester.FindMissingRequiredHardware());
    summary.lstHardwareUnknown = ToList(tester.FindUnknownHardware());
    summary.zod.strRole = environment.GetZodRole();
    summary.zod.bLoaded = environment.IsZodLoaded();
    summary.zod.bConnected = environment.WasZodConnected();
    summary.zod.strCentral = environment.GetZodCentral();
    if (!summary.zod.strRole.isEmpty())
        ReadZodAccount(summary.zod);
    return summary;
}

int StationSummary::ExitCode() const
{
    if (zod.state.value_or(QString()) == QLatin1String("refused"))
        return EXIT_OUTPUT_UNAVAILABLE;
    int code = EXIT_DELIVERED;
    for (const Delivery& delivery : lstDeliveries) {
        if (!delivery.bOpened)
            return EXIT_OUTPUT_UNAVAILABLE;
        if (!delivery.account.IsComplete())
            code = EXIT_LOSSES;
    }
    return code;
}

QJsonObject StationSummary::ToJson() const
{
    QJsonObject rejected;
    for (const ReasonKey& reason : s_aREASONS)
        rejected.insert(QString::fromLatin1(reason.pszKey), Count(this->*reason.pnCount));
    QJsonArray deliveries;
    for (const Delivery& delivery : lstDeliveries)
        deliveries.append(DeliveryJson(delivery));
    QJsonObject json{
        {"bearings", QJsonObject{{"produced", Count(nProduced)}, {"accepted", Count(nAccepted)}, {"rejected", rejected}}},
        {"deliveries", deliveries},
        {"sentences", QJsonObject{{"written", Count(nSentencesWritten)},
                                  {"file", strSentenceFile},
                                  {"serial", TextOrNull(outputs.strSerialAddress)}}},
        {"commandLog", QJsonObject{{"directory", strCommandLogDir},
                                   {"files", QJsonArray::fromStringList(lstCommandLogFiles)},
                                   {"commands", Count(nCommands)}}},
        {"hardware", QJsonObject{{"checked", bHardwareChecked},
                                 {"missing", QJsonArray::fromStringList(lstHardwareMissing)},
                                 {"unknown", QJsonArray::fromStringList(lstHardwareUnknown)}}},
        {"zod", ZodJson(zod)},
        {"outputs", QJsonObject{{"outputDirectory", outputs.strOutputDir}, {"plot", TextOrNull(outputs.strPlotFile)}}},
    };
    if (run)
        json.insert("run", RunJson(*run));
    if (scenario)
        json.insert("scenario", ScenarioJson(*scenario));
    return json;
}

void StationSummary::PrintText(QTextStream& out) const
{
    if (run) {
        out << "Simulated time:     " << static_cast<double>(run->nElapsedMs) / 1000.0 << " of "
            << static_cast<double>(run->nDurationMs) / 1000.0 << " s";
        if (run->nStopSignal == SIGINT || run->nStopSignal == SIGTERM)
            out << ", stopped by " << (run->nStopSignal == SIGINT ? "SIGINT" : "SIGTERM");
        out << "\n";
    }
    out << "Bearings produced:  " << nProduced << "\n";
    out << "  accepted:         " << nAccepted << "\n";
    // Translated reasons may be longer than the English ones: the column follows the longest.
    int nReasonWidth = 18;
    for (const ReasonKey& reason : s_aREASONS)
        nReasonWidth = std::max(nReasonWidth, FilterRejectCounter::ReasonText(reason.eReason).size() + 2);
    for (const ReasonKey& reason : s_aREASONS) {
        const QString label = FilterRejectCounter::ReasonText(reason.eReason) + QLatin1Char(':');
        out << "  rejected, " << label.leftJustified(nReasonWidth) << this->*reason.pnCount << "\n";
    }
    out << "Sentences written:  " << nSentencesWritten << "\n";
    for (const Delivery& delivery : lstDeliveries) {
        out << "  " << (delivery.strName + QLatin1Char(':')).leftJustified(18) << delivery.account.GetDelivered()
            << " of " << delivery.account.GetOffered() << " delivered, " << delivery.account.GetLost() << " lost";
        if (!delivery.bOpened)
            out << ", never open";
        if (!delivery.account.GetLastFailure().isEmpty())
            out << "; last failure: " << delivery.account.GetLastFailure();
        out << "\n";
        for (const QString& notice : delivery.lstNotices)
            out << "  " << QString().leftJustified(18) << notice << "\n";
    }
    out << "Commands logged:    " << nCommands << " in " << lstCommandLogFiles.size() << " file(s)\n";
    out << "Hardware missing:   " << Join(lstHardwareMissing) << "\n";
    out << "Hardware unknown:   " << Join(lstHardwareUnknown) << "\n";
    out << (zod.strRole == QLatin1String("sender") ? "ZOD sender:         " : "ZOD receiver:       ") << ZodText(zod)
        << "\n";
    if (scenario) {
        out << "Scenario station:   " << scenario->strStation << " (" << (scenario->bSender ? "sender" : "receiver")
            << ")\n";
        const std::vector<Tuning>& tunings = scenario->lstTunings;
        out << "  tuned:            " << (tunings.empty() ? QStringLiteral("never") : QString());
        for (size_t i = 0; i < tunings.size(); ++i)
            out << (i > 0 ? ", " : "") << QString::number(tunings[i].fFrequency / 1e6, 'f', 3) << " MHz at "
                << QString::number(tunings[i].nElapsedMs / 1000.0, 'f', 2) << " s";
        out << "\n";
    }
    out << "\nOutputs\n";
    out << "  sentence file:    " << strSentenceFile << "\n";
    if (!outputs.strSerialAddress.isEmpty())
        out << "  serial line:      " << outputs.strSerialAddress << "\n";
    out << "  command log:      " << strCommandLogDir << "\n";
    if (!outputs.strPlotFile.isEmpty())
        out << "  polar plot:       " << outputs.strPlotFile << "\n";
}
