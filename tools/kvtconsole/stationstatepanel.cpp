#include "tools/kvtconsole/stationstatepanel.h"

#include "base/accountedoutput.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "tools/kvtconsole/mapview.h"
#include "tools/kvtconsole/outputstatustable.h"
#include "tools/kvtconsole/outputwatch.h"
#include "station/stationbuilder.h"
#include "station/devicevalue.h"
#include "station/stationbroker.h"
#include "simulation/stationrun.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <QHBoxLayout>
#include <QLabel>

const QColor StationStatePanel::GOOD_COLOUR(0x2c, 0xa0, 0x2c);
const QColor StationStatePanel::BAD_COLOUR(0xd6, 0x27, 0x28);

StationStatePanel::StationStatePanel(StationRun& station, const OutputWatch& watch, QWidget* pParent)
    : QWidget(pParent)
    , m_station(station)
    , m_watch(watch)
    , m_pIdentity(new QLabel)
    , m_pTuning(new QLabel)
    , m_pBroker(new QLabel)
    , m_pOutputs(new QLabel)
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(6, 2, 6, 2);
    for (QLabel* pLabel : {m_pIdentity, m_pTuning, m_pBroker, m_pOutputs})
        pLayout->addWidget(pLabel);
    pLayout->addStretch(1);
    QFont bold = m_pIdentity->font();
    bold.setBold(true);
    m_pIdentity->setFont(bold);
    Refresh();
}

void StationStatePanel::Refresh()
{
    m_pIdentity->setText(tr("Station %1, %2").arg(GetName(), GetRole()));
    m_pTuning->setText(GetTuning());
    m_pBroker->setText(GetBrokerState());
    if (BrokerOutput() == nullptr && !m_pBroker->styleSheet().isEmpty())
        m_pBroker->setStyleSheet(QString());
    else if (BrokerOutput() != nullptr)
        Colour(*m_pBroker, IsBrokerLost() ? BAD_COLOUR : GOOD_COLOUR);
    QStringList outputs;
    bool bFailing = false;
    for (const AccountedOutput* pOutput : m_station.GetOutputs()) {
        if (!pOutput->HasBeenOpen() && !m_watch.IsFailing(*pOutput))
            continue;
        bFailing = bFailing || m_watch.IsFailing(*pOutput);
        outputs << tr("%1 %2").arg(OutputWatch::DisplayName(*pOutput), OutputStatusTable::StateText(*pOutput, m_watch));
    }
    m_pOutputs->setText(tr("Outputs: %1").arg(outputs.join(QStringLiteral(", "))));
    Colour(*m_pOutputs, bFailing ? BAD_COLOUR : GOOD_COLOUR);
}

QString StationStatePanel::GetName() const
{
    const Scenario::Station* pStation = m_station.GetOptions().pStation;
    return pStation != nullptr ? pStation->strName : StationBroker::StationName();
}

QString StationStatePanel::RoleKey() const
{
    const Scenario::Station* pStation = m_station.GetOptions().pStation;
    if (pStation == nullptr)
        return m_station.GetEnvironment().GetZodRole();
    return pStation->eRole == Scenario::Role::Sender ? QStringLiteral("sender") : QStringLiteral("receiver");
}

QString StationStatePanel::GetRole() const
{
    return MapView::RoleText(RoleKey());
}

QString StationStatePanel::GetTuning() const
{
    const auto* pFrequency =
        DeviceValue<values::ValueNumeric<double>>(StationBuilder::DEVICE_PATH, StdDeviceDefinition::g_vdFrequency);
    const double frequency = pFrequency != nullptr ? pFrequency->GetValue() : 0.0;
    if (frequency > 0.0)
        return tr("tuned to %1 MHz").arg(frequency / 1e6, 0, 'f', 3);
    return RoleKey() == QLatin1String("receiver") ? tr("waiting for a handover") : tr("not tuned");
}

QString StationStatePanel::GetBrokerState() const
{
    const AccountedOutput* pBroker = BrokerOutput();
    if (pBroker == nullptr)
        return tr("no broker");
    if (m_watch.IsFailing(*pBroker))
        return tr("broker lost");
    return pBroker->HasBeenOpen() ? tr("broker connected") : tr("broker connecting");
}

bool StationStatePanel::IsBrokerLost() const
{
    const AccountedOutput* pBroker = BrokerOutput();
    return pBroker != nullptr && (m_watch.IsFailing(*pBroker) || !pBroker->HasBeenOpen());
}

QString StationStatePanel::GetTitle() const
{
    return tr("kvtconsole \u2014 %1 (%2)").arg(GetName(), GetRole());
}

const AccountedOutput* StationStatePanel::BrokerOutput() const
{
    for (const AccountedOutput* pOutput : m_station.GetOutputs()) {
        if (pOutput->GetName() == QLatin1String("broker"))
            return pOutput;
    }
    return nullptr;
}

void StationStatePanel::Colour(QLabel& label, const QColor& colour)
{
    // Refreshed every frame: a style sheet is only parsed again when it changes.
    const QString style = QStringLiteral("QLabel { color: %1; }").arg(colour.name());
    if (label.styleSheet() != style)
        label.setStyleSheet(style);
}
