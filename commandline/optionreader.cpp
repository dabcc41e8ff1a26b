#include "commandline/optionreader.h"

#include "network/mqttconnection.h"

#include <QDir>
#include <QFileInfo>

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
        SetError(QStringLiteral("%1 must be a number from %2 to %3, not \"%4\".")
                     .arg(Name(option), Limit(low), Limit(high), m_parser.value(option)));
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
        SetError(QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\".")
                     .arg(Name(option))
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
    SetError(QStringLiteral("%1 is %2, not \"%3\".").arg(Name(option), list, value));
    return false;
}

bool OptionReader::ReadBrokerAddress(const QString& option, QString& rHost, int& rPort)
{
    if (!m_parser.isSet(option) || MqttConnection::ParseAddress(m_parser.value(option), rHost, rPort))
        return true;
    SetError(QStringLiteral("%1 wants host:port with a port from 1 to 65535, not \"%2\".")
                 .arg(Name(option), m_parser.value(option)));
    return false;
}

bool OptionReader::ReadFileName(const QString& option, const QString& suffix, QString& rFile)
{
    if (!m_parser.isSet(option))
        return true;
    const QFileInfo file(m_parser.value(option));
    if (!suffix.isEmpty() && file.suffix().compare(suffix, Qt::CaseInsensitive) != 0) {
        SetError(QStringLiteral("The %1 file \"%2\" must end in .%3.").arg(Name(option), m_parser.value(option), suffix));
        return false;
    }
    rFile = file.absoluteFilePath();
    return true;
}

bool OptionReader::ReadOutputFile(const QString& option, const QString& suffix, QString& rFile,
                                  const QString& madeFolder)
{
    if (!m_parser.isSet(option))
        return true;
    QString file;
    if (!ReadFileName(option, suffix, file))
        return false;
    const QFileInfo info(file);
    const bool bFolder = info.absoluteDir().exists() || (!madeFolder.isEmpty() && info.absolutePath() == madeFolder);
    if (m_parser.value(option).isEmpty() || !bFolder || info.isDir()) {
        SetError(QStringLiteral("The %1 file \"%2\" cannot be written: no such directory.")
                     .arg(Name(option), m_parser.value(option)));
        return false;
    }
    rFile = file;
    return true;
}

QString OptionReader::Name(const QString& option) const
{
    return m_mapNames.value(option, QStringLiteral("--") + option);
}

void OptionReader::SetError(const QString& text)
{
    m_strError = text;
}

}
