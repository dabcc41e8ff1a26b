#include "tools/kvtreport/reportcommandline.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/directionfinder/kvtcommon/kvttranslation.h"

#include <QFileInfo>

namespace {

const QString OPT_CONFIG_DIR = QStringLiteral("config-dir");
const QString OPT_STATION = QStringLiteral("station");
const QString OPT_TYPE = QStringLiteral("type");
const QString OPT_OPTIONS = QStringLiteral("options");
const QString OPT_REPAIR = QStringLiteral("repair");
const QString OPT_JSON = QStringLiteral("json");
const QString OPT_LANG = QStringLiteral("lang");

/// Whether every code of a ";"-separated list is known, checked on a scratch
/// set so that the installed options stay as they are.
bool AreKnownOptionCodes(const QString& codes)
{
    KVTOptions scratch(*KVTOptions::Instance());
    scratch.ClearAllOptions();
    return codes.isEmpty() || scratch.AddOptionsFromString(codes);
}

}

ReportCommandLine::ReportCommandLine()
    : m_reader(QStringLiteral(
          "Prints what a direction-finder station can do: device type, installed options, the antenna setup "
          "and its validity, the frequency limits per operation mode and, for representative frequency "
          "ranges, sample modes, bandwidths, DF methods and polarisations.\n\n"
          "The station is simulated from the configuration store. When the station has no entry there yet, "
          "a built-in default station (KVTQ1 with the options KVT-HFR, KVT-LF, KVTQ-WB and KVTQ-SR "
          "and five antennas from 9 kHz to 3 GHz) is stored first.\n\n"
          "Configuration directory: --config-dir if given, else the configuration store's own "
          "directory ($KVT_CONFIG_DIR, or the per-user configuration location)."))
{
    m_reader.AddOptions({
        {OPT_CONFIG_DIR, QStringLiteral("Use the existing configuration directory <dir>."), QStringLiteral("dir")},
        {OPT_STATION, QStringLiteral("Report the station with device address <address> (default: Default)."),
         QStringLiteral("address"), QStringLiteral("Default")},
        {OPT_TYPE,
         QStringLiteral("Simulate device type <type> for this run (one of %1).")
             .arg(KnownDeviceTypes().join(QStringLiteral(", "))),
         QStringLiteral("type")},
        {OPT_OPTIONS,
         QStringLiteral("Simulate the installed options <codes> for this run, separated by ';' "
                        "(for example \"KVT-HFR;KVTQ-WB\"; an empty text means none)."),
         QStringLiteral("codes")},
        {OPT_REPAIR, QStringLiteral("Repair the antenna setup automatically and store the result.")},
        {OPT_JSON, QStringLiteral("Print the report as JSON instead of text.")},
        {OPT_LANG,
         QStringLiteral("Show the report and the library's messages in language <locale> (for example \"de\" "
                        "or \"en\"; default: the user's locale from LANG)."),
         QStringLiteral("locale")},
    });
}

bool ReportCommandLine::Parse(const QStringList& arguments)
{
    if (!m_reader.Parse(arguments))
        return false;
    m_reader.ShowHelpOrVersion();

    m_strConfigDir = m_reader.Value(OPT_CONFIG_DIR);
    if (m_reader.IsSet(OPT_CONFIG_DIR) && m_strConfigDir.isEmpty()) {
        m_reader.SetError(QStringLiteral("The configuration directory must not be empty."));
        return false;
    }
    if (m_reader.IsSet(OPT_CONFIG_DIR) && !QFileInfo(m_strConfigDir).isDir()) {
        m_reader.SetError(QStringLiteral("Configuration directory %1 does not exist.").arg(m_strConfigDir));
        return false;
    }
    m_strStation = m_reader.Value(OPT_STATION);
    if (m_strStation.isEmpty()) {
        m_reader.SetError(QStringLiteral("The station address must not be empty."));
        return false;
    }
    m_strDeviceType = m_reader.Value(OPT_TYPE);
    if (!m_strDeviceType.isEmpty() && !KnownDeviceTypes().contains(m_strDeviceType)) {
        m_reader.SetError(QStringLiteral("Unknown device type %1; known are %2.")
                          .arg(m_strDeviceType, KnownDeviceTypes().join(QStringLiteral(", "))));
        return false;
    }
    m_bHasOptions = m_reader.IsSet(OPT_OPTIONS);
    m_strOptions = m_reader.Value(OPT_OPTIONS);
    if (!AreKnownOptionCodes(m_strOptions)) {
        m_reader.SetError(QStringLiteral("Unknown option code in \"%1\".").arg(m_strOptions));
        return false;
    }
    const QString language = m_reader.Value(OPT_LANG);
    m_locale = QLocale();
    if (m_reader.IsSet(OPT_LANG) && !KVTTranslation::LocaleOf(language, m_locale)) {
        m_reader.SetError(QStringLiteral("Unknown language \"%1\".").arg(language));
        return false;
    }
    m_bRepair = m_reader.IsSet(OPT_REPAIR);
    m_bJson = m_reader.IsSet(OPT_JSON);
    return true;
}

QStringList ReportCommandLine::KnownDeviceTypes()
{
    return {QStringLiteral("KVTQ1"), QStringLiteral("KVTN1"), QStringLiteral("KVTU1"), QStringLiteral("KVTP1"),
            QStringLiteral("KVTW1")};
}
