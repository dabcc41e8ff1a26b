#include "tools/kvtbridge/dfreading.h"

#include <QLocale>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace kvt {

namespace {

/// Texts longer than this are no value a receiver writes.
constexpr int MAX_TEXT = 256;
/// 1 THz: far above any DF receiver, and in Hz still an ordinary number.
constexpr double MAX_FREQUENCY_MHZ = 1e6;

/// Reads the elements of one document into the reading, checking each as it comes.
class DocumentReader
{
public:
    DocumentReader(const QByteArray& document, DfReading& rReading)
        : m_xml(document)
        , m_reading(rReading)
    {
    }

    bool Read(QString& rError)
    {
        if (!m_xml.readNextStartElement()) {
            rError = m_xml.hasError() ? Describe() : QStringLiteral("no DATA element");
            return false;
        }
        if (m_xml.name() != QLatin1String("DATA")) {
            rError = QStringLiteral("the root element is %1, not DATA").arg(m_xml.name().toString());
            return false;
        }
        if (!ReadChildren(false))
            return Fail(rError);
        for (const char* name : {"STATION_ID", "TIME", "FREQUENCY", "LATITUDE", "LONGITUDE", "HEADING", "DOA", "PWR",
                                 "CONF"}) {
            if (!m_lstSeen.contains(QLatin1String(name))) {
                rError = QStringLiteral("%1 is missing").arg(QLatin1String(name));
                return false;
            }
        }
        return true;
    }

private:
    bool Fail(QString& rError)
    {
        rError = m_strError.isEmpty() ? Describe() : m_strError;
        return false;
    }

    QString Describe() const
    {
        return QStringLiteral("not XML: %1 (line %2)").arg(m_xml.errorString()).arg(m_xml.lineNumber());
    }

    bool ReadChildren(bool inLocation)
    {
        while (m_xml.readNextStartElement()) {
            const QString name = m_xml.name().toString();
            if (!inLocation && name == QLatin1String("LOCATION")) {
                if (!ReadChildren(true))
                    return false;
                continue;
            }
            if (!Known(name, inLocation)) {
                m_xml.skipCurrentElement();
                continue;
            }
            if (m_lstSeen.contains(name))
                return Refuse(name, QStringLiteral("is repeated"));
            m_lstSeen.insert(name);
            const QString text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).trimmed();
            if (m_xml.hasError())
                return false;
            if (text.isEmpty())
                return Refuse(name, QStringLiteral("is empty"));
            if (text.size() > MAX_TEXT)
                return Refuse(name, QStringLiteral("is too long"));
            if (!Take(name, text))
                return false;
        }
        return !m_xml.hasError();
    }

    static bool Known(const QString& name, bool inLocation)
    {
        static const QSet<QString> location{"LATITUDE", "LONGITUDE", "HEADING", "SPEED"};
        static const QSet<QString> data{"STATION_ID", "TIME", "FREQUENCY", "DOA", "PWR", "CONF", "GPS_TIME",
                                        "LATENCY", "SNR_DB"};
        return inLocation ? location.contains(name) : data.contains(name);
    }

    bool Take(const QString& name, const QString& text)
    {
        if (name == QLatin1String("STATION_ID")) {
            m_reading.strStationId = text;
            return true;
        }
        if (name == QLatin1String("GPS_TIME")) {
            m_reading.strGpsTime = text;
            return true;
        }
        if (name == QLatin1String("TIME")) {
            bool ok = false;
            m_reading.nTimeMs = text.toLongLong(&ok);
            return ok && m_reading.nTimeMs > 0 ? true : Refuse(name, QStringLiteral("is no time in milliseconds"));
        }
        struct Range
        {
            const char* pszName;
            double* pValue;
            double fLow;
            double fHigh;
        };
        const double inf = INFINITY;
        const Range ranges[] = {
            {"FREQUENCY", &m_reading.fFrequencyMHz, 1e-9, MAX_FREQUENCY_MHZ},
            {"LATITUDE", &m_reading.fLatitude, -90.0, 90.0},
            {"LONGITUDE", &m_reading.fLongitude, -180.0, 180.0},
            {"HEADING", &m_reading.fHeading, -360.0, 360.0},
            {"SPEED", &m_reading.fSpeed, -inf, inf},
            {"DOA", &m_reading.fDoa, -360.0, 360.0},
            {"PWR", &m_reading.fPower, -inf, inf},               {"CONF", &m_reading.fConfidence, 0.0, 99.0},
            {"LATENCY", &m_reading.fLatencyMs, -inf, inf},       {"SNR_DB", &m_reading.fSnrDb, -inf, inf},
        };
        for (const Range& range : ranges) {
            if (name != QLatin1String(range.pszName))
                continue;
            bool ok = false;
            const double value = text.toDouble(&ok);
            if (!ok || !std::isfinite(value))
                return Refuse(name, QStringLiteral("is not a number"));
            if (value < range.fLow || value > range.fHigh)
                return Refuse(name, QStringLiteral("is out of range"));
            *range.pValue = value;
            return true;
        }
        return true;
    }

    bool Refuse(const QString& name, const QString& what)
    {
        m_strError = name + QLatin1Char(' ') + what;
        return false;
    }

    QXmlStreamReader m_xml;
    DfReading& m_reading;
    QSet<QString> m_lstSeen;
    QString m_strError;
};

/// The shortest text that reads back to the same double, so a reading written
/// out and read again is the reading it was.
QString Number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

}

bool DfReading::Parse(const QByteArray& document, DfReading& rReading, QString& rError)
{
    rReading = DfReading();
    return DocumentReader(document, rReading).Read(rError);
}

QByteArray DfReading::Format() const
{
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("DATA"));
    xml.writeTextElement(QStringLiteral("STATION_ID"), strStationId);
    xml.writeTextElement(QStringLiteral("TIME"), QString::number(nTimeMs));
    xml.writeTextElement(QStringLiteral("FREQUENCY"), Number(fFrequencyMHz));
    xml.writeStartElement(QStringLiteral("LOCATION"));
    xml.writeTextElement(QStringLiteral("LATITUDE"), Number(fLatitude));
    xml.writeTextElement(QStringLiteral("LONGITUDE"), Number(fLongitude));
    xml.writeTextElement(QStringLiteral("HEADING"), Number(fHeading));
    if (std::isfinite(fSpeed))
        xml.writeTextElement(QStringLiteral("SPEED"), Number(fSpeed));
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("DOA"), Number(fDoa));
    xml.writeTextElement(QStringLiteral("PWR"), Number(fPower));
    xml.writeTextElement(QStringLiteral("CONF"), Number(fConfidence));
    if (!strGpsTime.isEmpty())
        xml.writeTextElement(QStringLiteral("GPS_TIME"), strGpsTime);
    if (std::isfinite(fLatencyMs))
        xml.writeTextElement(QStringLiteral("LATENCY"), Number(fLatencyMs));
    if (std::isfinite(fSnrDb))
        xml.writeTextElement(QStringLiteral("SNR_DB"), Number(fSnrDb));
    xml.writeEndDocument();
    return document;
}

}
