#pragma once

#include "commandline/optionreader.h"

#include <QLocale>
#include <QString>
#include <QStringList>

/// The command line of the capability report.
///
/// Where the configuration lives: --config-dir names an existing directory;
/// without it the report uses the configuration store's own directory, so the
/// default station stored on the first run is there for the next one.
///
/// Every argument is checked here, before anything reads or writes the
/// configuration store, so that a usage error leaves the store untouched.
class ReportCommandLine
{
public:
    ReportCommandLine();

    /// Parses the arguments (the first one is the program). --help and
    /// --version print and end the process. False on a usage error, with
    /// GetError() saying why.
    bool Parse(const QStringList& arguments);
    QString GetError() const { return m_reader.GetError(); }

    /// Configuration directory to use; empty means the store's own.
    QString GetConfigDir() const { return m_strConfigDir; }
    QString GetStation() const { return m_strStation; }
    /// Device-type text to simulate; empty means the station's own.
    QString GetDeviceType() const { return m_strDeviceType; }
    /// Whether installed options were given; without them the station's own count.
    bool HasOptions() const { return m_bHasOptions; }
    /// Option codes separated by ";" (empty: none installed).
    QString GetOptions() const { return m_strOptions; }
    /// Locale of the report and the library's texts: --lang, otherwise the user's locale.
    QLocale GetLocale() const { return m_locale; }
    bool IsRepair() const { return m_bRepair; }
    bool IsJson() const { return m_bJson; }

    /// The device-type texts a station may name.
    static QStringList KnownDeviceTypes();

private:
    kvt::OptionReader m_reader;
    QString m_strConfigDir;
    QString m_strStation;
    QString m_strDeviceType;
    QString m_strOptions;
    QLocale m_locale;
    bool m_bHasOptions = false;
    bool m_bRepair = false;
    bool m_bJson = false;
};
