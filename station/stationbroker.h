#pragma once

#include "kvtstationlib_export.h"
#include "network/brokerbearingoutput.h"
#include "station/bearingsink.h"
#include "station/stationplace.h"

#include <QString>

/// The station's output on the MQTT broker: the station's bearing messages
/// and its status (from its place) through the broker output.
///
/// The broker comes from the command line when given there, else from the
/// application configuration's ADDRESS_KEY (empty: no broker) and PORT_KEY.
/// The station's name is the configuration's "ZodClientName", else
/// "kvtstation"; it logs in with the ZOD client's "ZodUserName",
/// "ZodPassword" and "ZodCaFile". Single-threaded.
class KVTSTATION_EXPORT StationBroker : public kvt::BearingSink
{
public:
    static const QString ADDRESS_KEY;
    static const QString PORT_KEY;
    /// How long the end of a run waits for the broker's acknowledgements.
    static constexpr int DRAIN_MS = 5000;

    /// The broker to use: the command line's when its host is not empty, else
    /// the configured one; false when neither names one.
    static bool Configured(const QString& commandLineHost, int nCommandLinePort, QString& rHost, int& rPort);
    /// The station's name on the network.
    static QString StationName();

    explicit StationBroker(const StationPlace& place);

    /// False when the address cannot be used (the output's last failure says why).
    bool Start(const QString& host, int nPort);
    void Take(const kvt::AcceptedBlock& block) override;
    /// Waits up to DRAIN_MS for the broker's acknowledgements (see BrokerBearingOutput::Stop()).
    void Stop() override { m_output.Stop(DRAIN_MS); }
    std::vector<AccountedOutput*> GetOutputs() override { return {&m_output}; }
    BrokerBearingOutput& GetBrokerOutput() { return m_output; }

private:
    StationPlace m_place;
    BrokerBearingOutput m_output;
};
