#pragma once

#include "commandline/brokerloginoptions.h"
#include "commandline/optionreader.h"
#include "network/mqttconnection.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTimeZone>

/// The command line of the fix program:
///
///     kvtfix [--input DIR...] [--scenario FILE [--simulate SECONDS] [--seed N] [--rate N] [--evaluate]]
///            [--window S] [--max-age S] [--future-tolerance S] [--max-stations N] [--sigma DEG]
///            [--sentence-azimuth relative|true] [--sentence-tz ZONE] [--sentence-date YYYY-MM-DD]
///            [--geojson FILE] [--kml FILE] [--plot FILE.png] [--json] [--follow]
///            [--mqtt HOST:PORT [--mqtt-user NAME] [--mqtt-password-file FILE] [--mqtt-ca FILE] [--mqtt-client-id ID]
///             [--publish]] [--cot udp://HOST:PORT|tcp://HOST:PORT...]
///
/// Every argument is checked before anything is read or written; a usage
/// error leaves every file untouched.
class FixCommandLine
{
public:
    FixCommandLine();

    /// False on a usage error, with GetError() saying why in one line. Needs no application object.
    bool Parse(const QStringList& arguments);
    /// For --help and --version: prints and ends the process (needs the application object).
    void ShowHelpOrVersion() { m_reader.ShowHelpOrVersion(); }
    QString GetError() const { return m_reader.GetError(); }

    /// Station folders (or bearing files), absolute.
    QStringList GetInputs() const { return m_lstInputs; }
    QString GetScenarioFile() const { return m_strScenarioFile; }
    /// Seconds of synthesised bearings; 0: none.
    double GetSimulateSeconds() const { return m_fSimulateSeconds; }
    quint64 GetSeed() const { return m_nSeed; }
    double GetRate() const { return m_fRate; }
    bool IsEvaluate() const { return m_bEvaluate; }
    double GetWindow() const { return m_fWindow; }
    double GetMaxAge() const { return m_fMaxAge; }
    double GetFutureTolerance() const { return m_fFutureTolerance; }
    int GetMaxStations() const { return m_nMaxStations; }
    double GetSigma() const { return m_fSigma; }
    bool IsSentenceAzimuthRelative() const { return m_bRelative; }
    /// The zone the stations wrote their sentences' times in.
    QTimeZone GetSentenceZone() const { return m_sentenceZone; }
    /// The date, in that zone, of every sentence file's first sentence; null:
    /// found from the scenario's start, else from the file's last change.
    QDate GetSentenceDate() const { return m_sentenceDate; }
    QString GetGeoJsonFile() const { return m_strGeoJsonFile; }
    QString GetKmlFile() const { return m_strKmlFile; }
    QString GetPlotFile() const { return m_strPlotFile; }
    bool IsJson() const { return m_bJson; }
    /// Following the inputs or the broker: runs until stopped.
    bool IsFollow() const { return m_bFollow || !GetMqttHost().isEmpty(); }
    /// Broker to take live bearings from; empty host: none.
    QString GetMqttHost() const { return m_mqttSettings.strHost; }
    int GetMqttPort() const { return m_mqttSettings.nPort; }
    /// Where the bearings used from the broker are recorded (LiveRecord); empty: nowhere.
    QString GetMqttRecordFile() const { return m_strMqttRecordFile; }
    /// Publish every fix on the broker of --mqtt.
    bool IsPublish() const { return m_bPublish; }
    /// Where Cursor-on-Target events go (udp://HOST:PORT, tcp://HOST:PORT).
    QStringList GetCotTargets() const { return m_lstCotTargets; }
    /// The broker, login and session of --mqtt (kvt::BrokerLoginOptions, a persistent session).
    const MqttConnection::Settings& GetMqttSettings() const { return m_mqttSettings; }

private:
    bool ParseInputs();
    bool ParseSentences();
    bool ParseNumbers();
    bool ParseOutputs();
    bool ParseMqtt();
    bool ParseLiveOutputs();

    kvt::OptionReader m_reader;
    kvt::BrokerLoginOptions m_login;
    QStringList m_lstInputs;
    QString m_strScenarioFile;
    double m_fSimulateSeconds = 0.0;
    quint64 m_nSeed = 1;
    double m_fRate = 1.0;
    bool m_bEvaluate = false;
    double m_fWindow = 10.0;
    double m_fMaxAge = 10.0;
    double m_fFutureTolerance = 5.0;
    int m_nMaxStations = 256;
    double m_fSigma = 2.0;
    bool m_bRelative = true;
    QTimeZone m_sentenceZone = QTimeZone::systemTimeZone();
    QDate m_sentenceDate;
    QString m_strGeoJsonFile;
    QString m_strKmlFile;
    QString m_strPlotFile;
    bool m_bJson = false;
    bool m_bFollow = false;
    QString m_strMqttRecordFile;
    bool m_bPublish = false;
    QStringList m_lstCotTargets;
    /// Its host stays empty without --mqtt.
    MqttConnection::Settings m_mqttSettings;
};
