#include "commandline/optionreader.h"

#include "network/mqttconnection.h"

namespace kvt {

namespace {

const QString OPT_HELP = QStringLiteral("help");
const QString OPT_HELP_ALL = QStringLiteral("help-all");
const QString OPT_VERSION = QStringLiteral("version");

/// Limits as people write them: 0.01, 90, 4294967295, never 1e+06.
QString Limit(double value)
{
    return QString::number(value, 'g', 15);
}

}

OptionReader::OptionReader(const QString& description)
{
    m_parser.setApplicationDescription(description);
    m_parser.addHelpOption();
    m_parser.addVersionOption();
}

void OptionReader::AddOptions(const QList<QCommandLineOption>& options)
{
    m_parser.addOptions(options);
}

bool OptionReader::Parse(const QStringList& arguments)
{
    if (!m_parser.parse(arguments)) {
        SetError(m_parser.errorText());
        return false;
    }
    if (!m_parser.positionalArguments().isEmpty()) {
        SetError(QStringLiteral("Unexpected argument: %1").arg(m_parser.positionalArguments().first()));
        return false;
    }
    return true;
}

bool OptionReader::WantsHelpOrVersion() const
{
    return m_parser.isSet(OPT_HELP) || m_parser.isSet(OPT_HELP_ALL) || m_parser.isSet(OPT_VERSION);
}

void OptionReader::ShowHelpOrVersion()
{
    if (m_parser.isSet(OPT_HELP) || m_parser.isSet(OPT_HELP_ALL))
        m_parser.showHelp(0);
    if (m_parser.isSet(OPT_VERSION))
        m_parser.showVersion();
}

bool OptionReader::ReadNumber(const QString& option, double low, double high, double& rValue)
{
    if (!m_parser.isSet(option))
        return true;
    bool ok = false;
    const double value = m_parser.value(option).toDouble(&ok);
    if (!ok || !(value >= low && value <= high)) {
        SetError(QStringLiteral("--%1 must be a number from %2 to %3, not \"%4\".")
                     .arg(option, Limit(low), Limit(high), m_parser.value(option)));
        return false;
    }
    rValue = value;
    return true;
}

bool OptionReader::ReadWholeNumber(const QString& option, qint64 low, qint64 high, qint64& rValue)
{
    if (!m_parser.isSet(option))
        return true;
    bool ok = false;
    const qint64 value = m_parser.value(option).toLongLong(&ok);
    if (!ok || value < low || value > high) {
        SetError(QStringLiteral("--%1 must be a whole number from %2 to %3, not \"%4\".")
                     .arg(option)
                     .arg(low)
                     .arg(high)
                     .arg(m_parser.value(option)));
        return false;
    }
    rValue = value;
    return true;
}

bool OptionReader::ReadChoice(const QString& option, const QStringList& choices, QString& rValue)
{
    if (!m_parser.isSet(option))
        return true;
    const QString value = m_parser.value(option);
    if (choices.contains(value)) {
        rValue = value;
        return true;
    }
    QStringList quoted;
    for (const QString& choice : choices)
        quoted << QStringLiteral("\"%1\"").arg(choice);
    const QString last = quoted.isEmpty() ? QString() : quoted.takeLast();
    const QString list = quoted.isEmpty() ? last : quoted.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
    SetError(QStringLiteral("--%1 is %2, not \"%3\".").arg(option, list, value));
    return false;
}

bool OptionReader::ReadBrokerAddress(const QString& option, QString& rHost, int& rPort)
{
    if (!m_parser.isSet(option) || MqttConnection::ParseAddress(m_parser.value(option), rHost, rPort))
        return true;
    SetError(QStringLiteral("--%1 wants host:port with a port from 1 to 65535, not \"%2\".")
                 .arg(option, m_parser.value(option)));
    return false;
}

void OptionReader::SetError(const QString& text)
{
    m_strError = text;
}

}
