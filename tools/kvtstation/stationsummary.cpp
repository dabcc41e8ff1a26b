#include "tools/kvtstation/stationsummary.h"

#include "devicecontrol/directionfinder/kvtcommon/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "tools/kvtstation/stationcallback.h"
#include "tools/kvtstation/stationenvironment.h"

#include <QDir>
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
const QString COMMAND_LOG_DIR = QStringLiteral("KVTControl");

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
        {"commandLog", CollectCommandLog(callback, outputs.strOutputDir)},
        {"hardware", CollectHardware(environment)},
        {"zod", QJsonObject{{"receiver", environment.IsZodReceiverConfigured()}}},
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

QJsonObject StationSummary::CollectCommandLog(const StationCallback& callback, const QString& outputDir)
{
    const QDir directory(QDir(outputDir).filePath(COMMAND_LOG_DIR));
    QJsonArray files;
    for (const QString& name : directory.entryList(QDir::Files, QDir::Name))
        files.append(directory.filePath(name));
    return {{"directory", directory.path()},
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

void StationSummary::PrintText(QTextStream& out, const QJsonObject& summary)
{
    const QJsonObject bearings = summary["bearings"].toObject();
    const QJsonObject rejected = bearings["rejected"].toObject();
    out << "Bearings produced:  " << bearings["produced"].toInt() << "\n";
    out << "  accepted:         " << bearings["accepted"].toInt() << "\n";
    for (const ReasonKey& reason : s_aREASONS) {
        const QString label = FilterRejectCounter::ReasonText(reason.eReason) + QLatin1Char(':');
        out << "  rejected, " << label.leftJustified(18) << rejected[QString::fromLatin1(reason.pszKey)].toInt()
            << "\n";
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
    out << "ZOD receiver:       " << (summary["zod"]["receiver"].toBool() ? "configured" : "not configured") << "\n";
    out << "\nOutputs\n";
    out << "  sentence file:    " << sentences["file"].toString() << "\n";
    if (!sentences["serial"].isNull())
        out << "  serial line:      " << sentences["serial"].toString() << "\n";
    out << "  command log:      " << commandLog["directory"].toString() << "\n";
    const QJsonObject outputs = summary["outputs"].toObject();
    if (!outputs["plot"].isNull())
        out << "  polar plot:       " << outputs["plot"].toString() << "\n";
}
