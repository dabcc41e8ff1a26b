#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace kvt {

/// The shape every program's command line shares: the options with --help
/// and --version, read without an application object so that a usage error
/// is said before Qt starts, and each option's value checked with a message
/// that names the option and the value given.
///
/// The Read…() functions leave their target as it is when the option is not
/// given, and return false with GetError() set when its value is not
/// acceptable; a program stops at the first error (exit code 2 in every tool).
class OptionReader
{
public:
    explicit OptionReader(const QString& description);

    void AddOptions(const QList<QCommandLineOption>& options);

    /// Reads the arguments (the first one is the program). False with
    /// GetError() on an unknown option, an option without its value
    /// ("Missing value after '--mqtt'.") or a positional argument
    /// ("Unexpected argument: x").
    bool Parse(const QStringList& arguments);
    /// --help, --help-all or --version was given: nothing else is checked or done.
    bool WantsHelpOrVersion() const;
    /// For --help and --version: prints and ends the process; needs the
    /// application object. Returns at once without them.
    void ShowHelpOrVersion();

    bool IsSet(const QString& option) const { return m_parser.isSet(option); }
    QString Value(const QString& option) const { return m_parser.value(option); }
    QStringList Values(const QString& option) const { return m_parser.values(option); }

    /// A number from low to high: "--sigma must be a number from 0.01 to 90, not "0"." (see SetName())
    bool ReadNumber(const QString& option, double low, double high, double& rValue);
    /// A whole number (digits, no fraction) from low to high.
    bool ReadWholeNumber(const QString& option, qint64 low, qint64 high, qint64& rValue);
    /// One of the choices: "--doa is "clockwise" or "anticlockwise", not "up"."
    bool ReadChoice(const QString& option, const QStringList& choices, QString& rValue);
    /// A broker address HOST:PORT (MqttConnection::ParseAddress).
    bool ReadBrokerAddress(const QString& option, QString& rHost, int& rPort);
    /// A file name ending in .suffix (any name when suffix is empty), made
    /// absolute: "The --plot file "x.jpg" must end in .png." Whether it can be
    /// written is the run's to find out.
    bool ReadFileName(const QString& option, const QString& suffix, QString& rFile);
    /// ReadFileName(), and the file's folder exists (or is madeFolder, which
    /// the run makes first): "The --kml file "/no/x.kml" cannot be written: no such directory."
    bool ReadOutputFile(const QString& option, const QString& suffix, QString& rFile,
                        const QString& madeFolder = QString());

    /// How the messages call an option (default "--option"), for programs
    /// whose messages said "Seconds must be …" or "The plot file …" before.
    void SetName(const QString& option, const QString& name) { m_mapNames.insert(option, name); }

    /// For the program's own checks.
    void SetError(const QString& text);
    QString GetError() const { return m_strError; }

private:
    QString Name(const QString& option) const;

    QCommandLineParser m_parser;
    QMap<QString, QString> m_mapNames;
    QString m_strError;
};

}
