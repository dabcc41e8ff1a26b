#include "station/textprinter.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"

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
    return list.isEmpty() ? QStringLiteral("none") : list.join(QStringLiteral(", "));
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
    m_out << "\nRepresentative frequency ranges\n";
    for (const QJsonValue range : report["frequencyRanges"].toArray())
        PrintRange(range.toObject());
    m_out.flush();
}

void TextPrinter::PrintHeader(const QJsonObject& configuration, const QJsonObject& device)
{
    m_out << "Station " << configuration["station"].toString() << "\n"
          << "  configuration     " << configuration["directory"].toString()
          << (configuration["defaultStored"].toBool() ? "; built-in default station stored" : "") << "\n"
          << "  device type       " << device["type"].toString() << "\n"
          << "  options           " << Join(device["options"].toArray()) << "\n"
          << "  channels          " << device["maxChannelCount"].toInt() << "\n"
          << "  preamplifiers     HF " << YesNo(device["hfPreamplifier"].toBool()) << ", VUHF "
          << YesNo(device["vuhfPreamplifier"].toBool()) << "\n";
    const double vuhfStart = device["converterSwitchVuhfStart"].toDouble();
    const double hfStop = device["converterSwitchHfStop"].toDouble();
    m_out << "  converter switch  "
          << (vuhfStart > 0.0 ? QStringLiteral("VUHF from %1").arg(Frequency(vuhfStart)) : QStringLiteral("none"))
          << (hfStop > 0.0 ? QStringLiteral(", HF up to %1").arg(Frequency(hfStop)) : QString()) << "\n";
}

void TextPrinter::PrintAntennaSetup(const QJsonObject& setup)
{
    m_out << "\nAntenna setup: " << setup["message"].toString() << "\n";
    if (setup.contains("repair")) {
        const QJsonObject repair = setup["repair"].toObject();
        m_out << "  repair " << (repair["success"].toBool() ? "done" : "failed") << ": "
              << repair["message"].toString() << "\n";
    }
    for (const QJsonValue value : setup["antennas"].toArray()) {
        const QJsonObject antenna = value.toObject();
        m_out << "  " << antenna["name"].toString().leftJustified(10) << " "
              << (antenna["enabled"].toBool() ? "enabled " : "disabled") << " used "
              << Frequency(antenna["minRange"].toDouble()) << " - " << Frequency(antenna["maxRange"].toDouble())
              << " (nominal " << Frequency(antenna["minFreq"].toDouble()) << " - "
              << Frequency(antenna["maxFreq"].toDouble()) << "), " << antenna["converter"].toString() << ", "
              << antenna["rangeType"].toString() << ", DF " << Join(antenna["dfMethods"].toArray());
        if (antenna.contains("polarisation"))
            m_out << ", polarisation " << antenna["polarisation"].toString();
        if (!antenna["supported"].toBool())
            m_out << ", NOT SUPPORTED by the device";
        m_out << "\n";
    }
}

void TextPrinter::PrintOperationModes(const QJsonArray& modes)
{
    m_out << "\nFrequency limits per operation mode\n";
    for (const QJsonValue value : modes) {
        const QJsonObject mode = value.toObject();
        m_out << "  mode " << mode["mode"].toInt() << "  " << Frequency(mode["minFreq"].toDouble()) << " - "
              << Frequency(mode["maxFreq"].toDouble()) << "\n";
    }
}

void TextPrinter::PrintRange(const QJsonObject& range)
{
    m_out << "  " << range["label"].toString() << " " << Frequency(range["start"].toDouble()) << " - "
          << Frequency(range["stop"].toDouble()) << ": antenna "
          << (range["antenna"].isNull() ? QStringLiteral("none") : range["antenna"].toString()) << " ("
          << range["rangeType"].toString() << "), DF methods " << Join(range["dfMethods"].toArray())
          << ", polarisations " << Join(range["polarisations"].toArray()) << "\n";
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
        m_out << "    mode " << group.first.join(QStringLiteral(", ")) << ": ";
        if (answer["sampleMode"].toInt() < 0) {
            m_out << "no sample mode\n";
            continue;
        }
        m_out << "sample mode " << answer["sampleMode"].toInt() << ", default realtime bandwidth "
              << Bandwidth(answer["defaultRealtimeBandwidth"].toDouble()) << "\n";
        for (const QJsonValue realtime : answer["realtimeBandwidths"].toArray()) {
            const QJsonObject bandwidth = realtime.toObject();
            m_out << "      realtime " << Bandwidth(bandwidth["bandwidth"].toDouble()).leftJustified(9)
                  << " resolution " << Bandwidths(bandwidth["resolutionBandwidths"].toArray()) << " (default "
                  << Bandwidth(bandwidth["defaultResolutionBandwidth"].toDouble()) << ")\n";
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
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}
