#include "tools/kvtfix/fixsummary.h"

#include <QDateTime>
#include <QJsonArray>

namespace FixSummary
{

namespace {

QJsonObject RejectionObject(qint64 wild, qint64 reflected, qint64 outvoted)
{
    return QJsonObject{
        {QStringLiteral("wild"), static_cast<double>(wild)},
        {QStringLiteral("reflected"), static_cast<double>(reflected)},
        {QStringLiteral("outvoted"), static_cast<double>(outvoted)},
    };
}

}

QJsonObject FixObject(const Fix& fix)
{
    QJsonObject rejected;
    for (const FixRejection& rejection : fix.lstRejections)
        rejected.insert(rejection.strStation, RejectionObject(rejection.nWild, rejection.nReflected, rejection.nOutvoted));
    return QJsonObject{
        {QStringLiteral("time"), QDateTime::fromMSecsSinceEpoch(fix.nEndMs, Qt::UTC).toString(Qt::ISODateWithMs)},
        {QStringLiteral("frequency"), fix.fFrequency},
        {QStringLiteral("latitude"), fix.fLatitude},
        {QStringLiteral("longitude"), fix.fLongitude},
        {QStringLiteral("semiMajor"), fix.ellipse.fSemiMajor},
        {QStringLiteral("semiMinor"), fix.ellipse.fSemiMinor},
        {QStringLiteral("orientation"), fix.ellipse.fOrientation},
        {QStringLiteral("stations"), fix.nStations},
        {QStringLiteral("bearings"), fix.nBearings},
        {QStringLiteral("residual"), fix.fResidualRms},
        {QStringLiteral("chiSquare"), fix.fChiSquare},
        {QStringLiteral("degreesOfFreedom"), fix.nDegreesOfFreedom},
        {QStringLiteral("pValue"), fix.fPValue},
        {QStringLiteral("widening"), fix.fWidening},
        {QStringLiteral("flags"), QJsonArray::fromStringList(fix.FlagNames())},
        {QStringLiteral("rejected"), rejected},
        {QStringLiteral("outvoted"), QJsonArray::fromStringList(fix.lstOutvoted)},
    };
}

QJsonObject Collect(const InputLog& log, const BearingGrouper& grouper, const Rejections& rejections,
                    const std::vector<Fix>& fixes, const FixEvaluator* pEvaluator)
{
    const BearingGrouper::Counters& counters = grouper.GetCounters();
    const BearingGrouperStations& stations = grouper.GetStations();
    QJsonObject reasons;
    for (auto it = log.GetReasons().cbegin(); it != log.GetReasons().cend(); ++it)
        reasons.insert(it.key(), static_cast<double>(it.value()));
    QJsonObject future;
    const QMap<QString, qint64> futureCounts = stations.GetFutureCounts();
    for (auto it = futureCounts.cbegin(); it != futureCounts.cend(); ++it)
        future.insert(it.key(), static_cast<double>(it.value()));
    const QJsonObject bearings{
        {QStringLiteral("read"), static_cast<double>(log.GetRead())},
        {QStringLiteral("refused"), static_cast<double>(log.GetRefused())},
        {QStringLiteral("reasons"), reasons},
        {QStringLiteral("examples"), QJsonArray::fromStringList(log.GetExamples())},
        {QStringLiteral("duplicates"), static_cast<double>(counters.nDuplicates)},
        {QStringLiteral("late"), static_cast<double>(counters.nLate)},
        {QStringLiteral("future"), static_cast<double>(counters.nFuture)},
        {QStringLiteral("futureByStation"), future},
        {QStringLiteral("used"), static_cast<double>(counters.nAccepted)},
        {QStringLiteral("unassigned"), static_cast<double>(counters.nUnassigned)},
    };
    QJsonObject rejected;
    for (auto it = rejections.cbegin(); it != rejections.cend(); ++it)
        rejected.insert(it.key(), RejectionObject(it.value()[0], it.value()[1], it.value()[2]));
    QJsonObject summary{
        {QStringLiteral("bearings"), bearings},
        {QStringLiteral("stations"),
         QJsonObject{{QStringLiteral("kept"), stations.GetCount()},
                     {QStringLiteral("forgotten"), static_cast<double>(stations.GetForgotten())},
                     {QStringLiteral("max"), stations.GetMax()}}},
        {QStringLiteral("rejected"), rejected},
        {QStringLiteral("fixCount"), static_cast<double>(counters.nFixes)},
        {QStringLiteral("unfixedWindows"), static_cast<double>(counters.nUnfixedWindows)},
    };
    if (pEvaluator == nullptr) {
        QJsonArray list;
        for (const Fix& fix : fixes)
            list.append(FixObject(fix));
        summary.insert(QStringLiteral("fixes"), list);
        return summary;
    }
    QJsonArray evaluation;
    for (const FixEvaluator::EmitterResult& result : pEvaluator->Results()) {
        evaluation.append(QJsonObject{
            {QStringLiteral("emitter"), result.strName},
            {QStringLiteral("fixes"), result.nFixes},
            {QStringLiteral("medianError"), result.fMedianError},
            {QStringLiteral("error95"), result.fError95},
            {QStringLiteral("bound"), result.fBound},
            {QStringLiteral("ratio"), result.fRatio},
            {QStringLiteral("coverage"), result.fCoverage},
            {QStringLiteral("windows"), result.nWindows},
            {QStringLiteral("found"), result.nFound},
            {QStringLiteral("ghosts"), result.nGhosts},
        });
    }
    summary.insert(QStringLiteral("evaluation"), evaluation);
    summary.insert(QStringLiteral("unassigned"), pEvaluator->GetUnassigned());
    return summary;
}

QString FixLine(const QJsonObject& fix)
{
    const QStringList flags = fix.value(QStringLiteral("flags")).toVariant().toStringList();
    return QStringLiteral("%1  %2 MHz  %3 %4  95%: %5 x %6 m at %7 deg  %8 stations %9 bearings  rms %10 deg%11")
        .arg(fix.value(QStringLiteral("time")).toString())
        .arg(fix.value(QStringLiteral("frequency")).toDouble() / 1e6, 0, 'f', 4)
        .arg(fix.value(QStringLiteral("latitude")).toDouble(), 10, 'f', 6)
        .arg(fix.value(QStringLiteral("longitude")).toDouble(), 11, 'f', 6)
        .arg(fix.value(QStringLiteral("semiMajor")).toDouble(), 0, 'f', 0)
        .arg(fix.value(QStringLiteral("semiMinor")).toDouble(), 0, 'f', 0)
        .arg(fix.value(QStringLiteral("orientation")).toDouble(), 0, 'f', 0)
        .arg(fix.value(QStringLiteral("stations")).toInt())
        .arg(fix.value(QStringLiteral("bearings")).toInt())
        .arg(fix.value(QStringLiteral("residual")).toDouble(), 0, 'f', 2)
        .arg(flags.isEmpty() ? QString() : QStringLiteral("  [%1]").arg(flags.join(QLatin1Char(' '))));
}

void PrintText(QTextStream& out, const QJsonObject& summary)
{
    const QJsonObject bearings = summary.value(QStringLiteral("bearings")).toObject();
    out << "bearings: " << bearings.value(QStringLiteral("read")).toInt() << " read, "
        << bearings.value(QStringLiteral("used")).toInt() << " used, "
        << bearings.value(QStringLiteral("refused")).toInt() << " refused, "
        << bearings.value(QStringLiteral("duplicates")).toInt() << " duplicates, "
        << bearings.value(QStringLiteral("late")).toInt() << " late, "
        << bearings.value(QStringLiteral("future")).toInt() << " from the future, "
        << bearings.value(QStringLiteral("unassigned")).toInt() << " in no fix\n";
    const QJsonObject reasons = bearings.value(QStringLiteral("reasons")).toObject();
    for (auto it = reasons.constBegin(); it != reasons.constEnd(); ++it)
        out << "  refused " << it.value().toInt() << ": " << it.key() << "\n";
    const QJsonObject future = bearings.value(QStringLiteral("futureByStation")).toObject();
    for (auto it = future.constBegin(); it != future.constEnd(); ++it)
        out << "  from the future " << it.value().toInt() << ": " << it.key() << "\n";
    const QJsonObject stations = summary.value(QStringLiteral("stations")).toObject();
    if (stations.value(QStringLiteral("forgotten")).toDouble() > 0.0) {
        out << "stations: " << stations.value(QStringLiteral("kept")).toInt() << " kept, "
            << static_cast<qint64>(stations.value(QStringLiteral("forgotten")).toDouble())
            << " forgotten for newer ones (at most " << stations.value(QStringLiteral("max")).toInt() << ")\n";
    }
    for (const QJsonValue& example : bearings.value(QStringLiteral("examples")).toArray())
        out << "  " << example.toString() << "\n";
    const QJsonObject rejected = summary.value(QStringLiteral("rejected")).toObject();
    for (auto it = rejected.constBegin(); it != rejected.constEnd(); ++it) {
        const QJsonObject counts = it.value().toObject();
        out << "  left out of fixes, " << it.key() << ": " << counts.value(QStringLiteral("wild")).toInt()
            << " wild, " << counts.value(QStringLiteral("reflected")).toInt() << " reflected, "
            << counts.value(QStringLiteral("outvoted")).toInt() << " outvoted\n";
    }
    out << "fixes: " << summary.value(QStringLiteral("fixCount")).toInt() << " ("
        << summary.value(QStringLiteral("unfixedWindows")).toInt() << " windows without a fix)\n";
    for (const QJsonValue& fix : summary.value(QStringLiteral("fixes")).toArray())
        out << "  " << FixLine(fix.toObject()) << "\n";
    if (!summary.contains(QStringLiteral("evaluation")))
        return;
    out << "emitter       fixes   median m    95% m   bound m   ratio  coverage  found/windows  ghosts\n";
    for (const QJsonValue& value : summary.value(QStringLiteral("evaluation")).toArray()) {
        const QJsonObject result = value.toObject();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %  %8/%9 %10\n")
                   .arg(result.value(QStringLiteral("emitter")).toString(), -12)
                   .arg(result.value(QStringLiteral("fixes")).toInt(), 6)
                   .arg(result.value(QStringLiteral("medianError")).toDouble(), 10, 'f', 1)
                   .arg(result.value(QStringLiteral("error95")).toDouble(), 8, 'f', 1)
                   .arg(result.value(QStringLiteral("bound")).toDouble(), 9, 'f', 1)
                   .arg(result.value(QStringLiteral("ratio")).toDouble(), 7, 'f', 3)
                   .arg(100.0 * result.value(QStringLiteral("coverage")).toDouble(), 8, 'f', 1)
                   .arg(result.value(QStringLiteral("found")).toInt(), 6)
                   .arg(result.value(QStringLiteral("windows")).toInt())
                   .arg(result.value(QStringLiteral("ghosts")).toInt(), 6);
    }
    out << "fixes of no emitter: " << summary.value(QStringLiteral("unassigned")).toInt() << "\n";
}

}
