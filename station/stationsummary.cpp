#include "station/stationsummary.h"

#include "base/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "station/stationcallback.h"
#include "station/stationenvironment.h"
#include "station/treepublication.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuebase.h"

#include <QCoreApplication>
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

/// The summary's texts for people pass through the context "StationSummary"
/// of the station's catalogue (StationTranslation); without one installed they
/// stay English.
QString Tr(const char* pszText)
{
    return QCoreApplication::translate("StationSummary", pszText);
}

QString Join(const QStringList& texts)
{
    return texts.isEmpty() ? Tr(QT_TRANSLATE_NOOP("StationSummary", "none")) : texts.join(QStringLiteral(", "));
}

/// The labels that start a line; the values follow in one column after the
/// longest (at least column 20), indented labels counted with their indent.
const char* const LABEL_TIME = QT_TRANSLATE_NOOP("StationSummary", "Simulated time:");
const char* const LABEL_PRODUCED = QT_TRANSLATE_NOOP("StationSummary", "Bearings produced:");
const char* const LABEL_WRITTEN = QT_TRANSLATE_NOOP("StationSummary", "Sentences written:");
const char* const LABEL_COMMANDS = QT_TRANSLATE_NOOP("StationSummary", "Commands logged:");
const char* const LABEL_MISSING = QT_TRANSLATE_NOOP("StationSummary", "Hardware missing:");
const char* const LABEL_UNKNOWN = QT_TRANSLATE_NOOP("StationSummary", "Hardware unknown:");
const char* const LABEL_ZOD_SENDER = QT_TRANSLATE_NOOP("StationSummary", "ZOD sender:");
const char* const LABEL_ZOD_RECEIVER = QT_TRANSLATE_NOOP("StationSummary", "ZOD receiver:");
const char* const LABEL_SCENARIO = QT_TRANSLATE_NOOP("StationSummary", "Scenario station:");
const char* const LABEL_ACCEPTED = QT_TRANSLATE_NOOP("StationSummary", "accepted:");
const char* const LABEL_TUNED = QT_TRANSLATE_NOOP("StationSummary", "tuned:");
const char* const LABEL_SENTENCE_FILE = QT_TRANSLATE_NOOP("StationSummary", "sentence file:");
const char* const LABEL_SERIAL = QT_TRANSLATE_NOOP("StationSummary", "serial line:");
const char* const LABEL_COMMAND_LOG = QT_TRANSLATE_NOOP("StationSummary", "command log:");
const char* const LABEL_PLOT = QT_TRANSLATE_NOOP("StationSummary", "polar plot:");
const char* const s_aLABELS[] = {LABEL_TIME,    LABEL_PRODUCED,   LABEL_WRITTEN,      LABEL_COMMANDS, LABEL_MISSING,
                                 LABEL_UNKNOWN, LABEL_ZOD_SENDER, LABEL_ZOD_RECEIVER, LABEL_SCENARIO};
const char* const s_aINDENTED_LABELS[] = {LABEL_ACCEPTED, LABEL_TUNED,       LABEL_SENTENCE_FILE,
                                          LABEL_SERIAL,   LABEL_COMMAND_LOG, LABEL_PLOT};
const int INDENT = 2;

/// An output's name for people: the names of the station's own outputs are in the catalogue.
QString OutputName(const QString& name)
{
    static const char* const s_aNAMES[] = {
        QT_TRANSLATE_NOOP("StationSummary", "file"), QT_TRANSLATE_NOOP("StationSummary", "serial"),
        QT_TRANSLATE_NOOP("StationSummary", "broker"), QT_TRANSLATE_NOOP("StationSummary", "bearings")};
    for (const char* pszName : s_aNAMES) {
        if (name == QLatin1String(pszName))
            return Tr(pszName);
    }
    return name;
}

int LabelColumn(const std::vector<StationSummary::Delivery>& deliveries)
{
    int nColumn = 20;
    for (const char* pszLabel : s_aLABELS)
        nColumn = std::max(nColumn, Tr(pszLabel).size() + 1);
    for (const char* pszLabel : s_aINDENTED_LABELS)
        nColumn = std::max(nColumn, INDENT + Tr(pszLabel).size() + 1);
    for (const StationSummary::Delivery& delivery : deliveries)
        nColumn = std::max(nColumn, INDENT + OutputName(delivery.strName).size() + 2);
    return nColumn;
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
        return Tr(QT_TRANSLATE_NOOP("StationSummary", "not configured"));
    if (!zod.bLoaded)
        return Tr(QT_TRANSLATE_NOOP("StationSummary", "client module not found"));
    const QString error = zod.error.value_or(QString());
    if (zod.state.value_or(QString()) == QLatin1String("refused"))
        return Tr(QT_TRANSLATE_NOOP("StationSummary", "login refused by %1: %2")).arg(zod.strCentral, error);
    QString text = (zod.bConnected ? Tr(QT_TRANSLATE_NOOP("StationSummary", "connected to %1"))
                                   : Tr(QT_TRANSLATE_NOOP("StationSummary", "never connected to %1")))
                       .arg(zod.strCentral);
    if (!zod.bConnected && !error.isEmpty())
        text += QStringLiteral(": ") + error;
    if (zod.strRole == QLatin1String("receiver"))
        text += Tr(QT_TRANSLATE_NOOP("StationSummary",
                                     "; handovers applied %1, coalesced %2, ignored: unfollowed %3, out of range %4, "
                                     "malformed %5, unknown tag %6; refused %7"))
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
    const int nColumn = LabelColumn(lstDeliveries);
    const auto label = [nColumn](const char* pszLabel, int nIndent = 0) {
        return (QString(nIndent, QLatin1Char(' ')) + Tr(pszLabel)).leftJustified(nColumn);
    };
    if (run) {
        out << label(LABEL_TIME)
            << Tr(QT_TRANSLATE_NOOP("StationSummary", "%1 of %2 s"))
                   .arg(QString::number(static_cast<double>(run->nElapsedMs) / 1000.0),
                        QString::number(static_cast<double>(run->nDurationMs) / 1000.0));
        if (run->nStopSignal == SIGINT || run->nStopSignal == SIGTERM)
            out << Tr(QT_TRANSLATE_NOOP("StationSummary", ", stopped by %1"))
                       .arg(QLatin1String(run->nStopSignal == SIGINT ? "SIGINT" : "SIGTERM"));
        out << "\n";
    }
    out << label(LABEL_PRODUCED) << nProduced << "\n";
    out << label(LABEL_ACCEPTED, INDENT) << nAccepted << "\n";
    // Translated reasons may be longer than the English ones: the column follows the longest.
    int nReasonWidth = 18;
    for (const ReasonKey& reason : s_aREASONS)
        nReasonWidth = std::max(nReasonWidth, FilterRejectCounter::ReasonText(reason.eReason).size() + 2);
    const QString rejected = QString(INDENT, QLatin1Char(' ')) + Tr(QT_TRANSLATE_NOOP("StationSummary", "rejected, "));
    for (const ReasonKey& reason : s_aREASONS) {
        const QString reasonLabel = FilterRejectCounter::ReasonText(reason.eReason) + QLatin1Char(':');
        out << rejected << reasonLabel.leftJustified(nReasonWidth) << this->*reason.pnCount << "\n";
    }
    out << label(LABEL_WRITTEN) << nSentencesWritten << "\n";
    for (const Delivery& delivery : lstDeliveries) {
        out << (QString(INDENT, QLatin1Char(' ')) + OutputName(delivery.strName) + QLatin1Char(':')).leftJustified(nColumn)
            << Tr(QT_TRANSLATE_NOOP("StationSummary", "%1 of %2 delivered, %3 lost"))
                   .arg(delivery.account.GetDelivered())
                   .arg(delivery.account.GetOffered())
                   .arg(delivery.account.GetLost());
        if (!delivery.bOpened)
            out << Tr(QT_TRANSLATE_NOOP("StationSummary", ", never open"));
        if (!delivery.account.GetLastFailure().isEmpty())
            out << Tr(QT_TRANSLATE_NOOP("StationSummary", "; last failure: %1")).arg(delivery.account.GetLastFailure());
        out << "\n";
        for (const QString& notice : delivery.lstNotices)
            out << QString(nColumn, QLatin1Char(' ')) << notice << "\n";
    }
    out << label(LABEL_COMMANDS)
        << Tr(QT_TRANSLATE_NOOP("StationSummary", "%1 in %2 file(s)")).arg(nCommands).arg(lstCommandLogFiles.size())
        << "\n";
    out << label(LABEL_MISSING) << Join(lstHardwareMissing) << "\n";
    out << label(LABEL_UNKNOWN) << Join(lstHardwareUnknown) << "\n";
    out << label(zod.strRole == QLatin1String("sender") ? LABEL_ZOD_SENDER : LABEL_ZOD_RECEIVER) << ZodText(zod) << "\n";
    if (scenario) {
        out << label(LABEL_SCENARIO)
            << QStringLiteral("%1 (%2)").arg(scenario->strStation,
                                             scenario->bSender ? Tr(QT_TRANSLATE_NOOP("StationSummary", "sender"))
                                                               : Tr(QT_TRANSLATE_NOOP("StationSummary", "receiver")))
            << "\n";
        QStringList tunings;
        for (const Tuning& tuning : scenario->lstTunings)
            tunings << Tr(QT_TRANSLATE_NOOP("StationSummary", "%1 MHz at %2 s"))
                           .arg(QString::number(tuning.fFrequency / 1e6, 'f', 3),
                                QString::number(tuning.nElapsedMs / 1000.0, 'f', 2));
        out << label(LABEL_TUNED, INDENT)
            << (tunings.isEmpty() ? Tr(QT_TRANSLATE_NOOP("StationSummary", "never")) : tunings.join(QStringLiteral(", ")))
            << "\n";
    }
    out << "\n" << Tr(QT_TRANSLATE_NOOP("StationSummary", "Outputs")) << "\n";
    out << label(LABEL_SENTENCE_FILE, INDENT) << strSentenceFile << "\n";
    if (!outputs.strSerialAddress.isEmpty())
        out << label(LABEL_SERIAL, INDENT) << outputs.strSerialAddress << "\n";
    out << label(LABEL_COMMAND_LOG, INDENT) << strCommandLogDir << "\n";
    if (!outputs.strPlotFile.isEmpty())
        out << label(LABEL_PLOT, INDENT) << outputs.strPlotFile << "\n";
}
