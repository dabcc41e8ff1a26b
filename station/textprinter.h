#pragma once

#include "kvtstationlib_export.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>

class QTextStream;

/// Writes the capability report (as made by ReportCollector) for people:
/// frequencies in MHz, bandwidths with their unit. Its texts pass through the
/// context "TextPrinter" of the station's catalogue (StationTranslation);
/// without one installed they stay English.
class KVTSTATION_EXPORT TextPrinter
{
    Q_DECLARE_TR_FUNCTIONS(TextPrinter)

public:
    explicit TextPrinter(QTextStream& out);

    void Print(const QJsonObject& report);

private:
    void PrintHeader(const QJsonObject& configuration, const QJsonObject& device);
    void PrintAntennaSetup(const QJsonObject& setup);
    void PrintOperationModes(const QJsonArray& modes);
    void PrintRange(const QJsonObject& range);

    static QString Frequency(double hz);
    static QString Bandwidths(const QJsonArray& bandwidths);
    static QString YesNo(bool value);

    QTextStream& m_out;
};
