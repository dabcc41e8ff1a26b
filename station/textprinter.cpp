#include "station/textprinter.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

namespace {

QString Join(const QJsonArray& texts)
{
    QStringList list;
    for (const QJsonValue text : texts)
        list.append(text.toString());
    return list.isEmpty() ? TextPrinter::tr("none") : list.join(QStringLiteral(", "));
}

QString Bandwidth(double hz)
{
    return KVTCharacteristics::FormatBandwidth(hz, 2, false);
}

}

TextPrinter::TextPrinter(QTextStream& out)
    : m_out(out)
{
}

void TextPrinter::Print(const QJsonObject& report)
{
    PrintHeader(report["configuration"].toObject(), report["device"].toObject());
    PrintAntennaSetup(report["antennaSetup"].toObject());
    PrintOperationModes(report["operationModes"].toArray());
    m_out << "\n" << tr("Representative frequency ranges") << "\n";
    for (const QJsonValue range : report["frequencyRanges"].toArray())
        PrintRange(range.toObject());
    m_out.flush();
}

void TextPrinter::PrintHeader(const QJsonObject& configuration, const QJsonObject& device)
{
    const double vuhfStart = device["converterSwitchVuhfStart"].toDouble();
    const double hfStop = device["converterSwitchHfStop"].toDouble();
    const std::pair<QString, QString> lines[] = {
        {tr("configuration"), configuration["directory"].toString()
                                  + (configuration["defaultStored"].toBool() ? tr("; built-in default station stored")
                                                                             : QString())},
        {tr("device type"), device["type"].toString()},
        {tr("options"), Join(device["options"].toArray())},
        {tr("channels"), QString::number(device["maxChannelCount"].toInt())},
        {tr("preamplifiers"), tr("HF %1, VUHF %2")
                                  .arg(YesNo(device["hfPreamplifier"].toBool()), YesNo(device["vuhfPreamplifier"].toBool()))},
        {tr("converter switch"), (vuhfStart > 0.0 ? tr("VUHF from %1").arg(Frequency(vuhfStart)) : tr("none"))
                                     + (hfStop > 0.0 ? tr(", HF up to %1").arg(Frequency(hfStop)) : QString())},
    };
    // Translated labels may be longer than the English ones: the column follows the longest.
    int nWidth = 18;
    for (const auto& line : lines)
        nWidth = std::max(nWidth, line.first.size() + 2);
    m_out << tr("Station %1").arg(configuration["station"].toString()) << "\n";
    for (const auto& line : lines)
        m_out << "  " << line.first.leftJustified(nWidth) << line.second << "\n";
}

void TextPrinter::PrintAntennaSetup(const QJsonObject& setup)
{
    m_out << "\n" << tr("Antenna setup: %1").arg(setup["message"].toString()) << "\n";
    if (setup.contains("repair")) {
        const QJsonObject repair = setup["repair"].toObject();
        m_out << "  "
              << (repair["success"].toBool() ? tr("repair done: %1") : tr("repair failed: %1"))
                     .arg(repair["message"].toString())
              << "\n";
    }
    const QString enabled = tr("enabled");
    const QString disabled = tr("disabled");
    const int nStateWidth = std::max(enabled.size(), disabled.size());
    for (const QJsonValue value : setup["antennas"].toArray()) {
        const QJsonObject antenna = value.toObject();
        m_out << "  " << antenna["name"].toString().leftJustified(10) << " "
              << (antenna["enabled"].toBool() ? enabled : disabled).leftJustified(nStateWidth) << " "
              << tr("used %1 - %2 (nominal %3 - %4), %5, %6, DF %7")
                     .arg(Frequency(antenna["minRange"].toDouble()), Frequency(antenna["maxRange"].toDouble()),
                          Frequency(antenna["minFreq"].toDouble()), Frequency(antenna["maxFreq"].toDouble()),
                          antenna["converter"].toString(), antenna["rangeType"].toString(),
                          Join(antenna["dfMethods"].toArray()));
        if (antenna.contains("polarisation"))
            m_out << tr(", polarisation %1").arg(antenna["polarisation"].toString());
        if (!antenna["supported"].toBool())
            m_out << tr(", NOT SUPPORTED by the device");
        m_out << "\n";
    }
}

void TextPrinter::PrintOperationModes(const QJsonArray& modes)
{
    m_out << "\n" << tr("Frequency limits per operation mode") << "\n";
    for (const QJsonValue value : modes) {
        const QJsonObject mode = value.toObject();
        m_out << "  " << tr("mode %1").arg(mode["mode"].toInt()) << "  " << Frequency(mode["minFreq"].toDouble())
              << " - " << Frequency(mode["maxFreq"].toDouble()) << "\n";
    }
}

void TextPrinter::PrintRange(const QJsonObject& range)
{
    m_out << "  "
          << tr("%1 %2 - %3: antenna %4 (%5), DF methods %6, polarisations %7")
                 .arg(range["label"].toString(), Frequency(range["start"].toDouble()),
                      Frequency(range["stop"].toDouble()),
                      range["antenna"].isNull() ? tr("none") : range["antenna"].toString(),
                      range["rangeType"].toString(), Join(range["dfMethods"].toArray()),
                      Join(range["polarisations"].toArray()))
          << "\n";
    // Operation modes with the same answers are printed together.
    QList<QPair<QStringList, QJsonObject>> groups;
    for (const QJsonValue value : range["modes"].toArray()) {
        QJsonObject answer = value.toObject();
        const QString mode = QString::number(answer.take("mode").toInt());
        auto group = std::find_if(groups.begin(), groups.end(), [&answer](const auto& g) { return g.second == answer; });
        if (group == groups.end())
            groups.append({{mode}, answer});
        else
            group->first.append(mode);
    }
    for (const auto& group : qAsConst(groups)) {
        const QJsonObject& answer = group.second;
        m_out << "    " << tr("mode %1").arg(group.first.join(QStringLiteral(", "))) << ": ";
        if (answer["sampleMode"].toInt() < 0) {
            m_out << tr("no sample mode") << "\n";
            continue;
        }
        m_out << tr("sample mode %1, default realtime bandwidth %2")
                     .arg(answer["sampleMode"].toInt())
                     .arg(Bandwidth(answer["defaultRealtimeBandwidth"].toDouble()))
              << "\n";
        for (const QJsonValue realtime : answer["realtimeBandwidths"].toArray()) {
            const QJsonObject bandwidth = realtime.toObject();
            m_out << "      "
                  << tr("realtime %1 resolution %2 (default %3)")
                         .arg(Bandwidth(bandwidth["bandwidth"].toDouble()).leftJustified(9),
                              Bandwidths(bandwidth["resolutionBandwidths"].toArray()),
                              Bandwidth(bandwidth["defaultResolutionBandwidth"].toDouble()))
                  << "\n";
        }
    }
}

QString TextPrinter::Frequency(double hz)
{
    QString text = QString::number(hz / 1e6, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text + QStringLiteral(" MHz");
}

QString TextPrinter::Bandwidths(const QJsonArray& bandwidths)
{
    QStringList texts;
    for (const QJsonValue bandwidth : bandwidths)
        texts.append(Bandwidth(bandwidth.toDouble()));
    return texts.join(QStringLiteral(", "));
}

QString TextPrinter::YesNo(bool value)
{
    return value ? tr("yes") : tr("no");
}
