#include "station/treepublication.h"

#include "base/accountedoutput.h"
#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "station/acceptedblock.h"
#include "station/cfgoverride.h"
#include "station/devicevalue.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

namespace kvt
{

const QString TreePublication::SENTENCE_FILE = QStringLiteral("dfdata.txt");

namespace {

std::vector<std::pair<QString, QString>> OutputSettings(const QString& sentenceFile, const QString& serialAddress)
{
    const bool bSerial = !serialAddress.isEmpty();
    std::vector<std::pair<QString, QString>> settings{
        {QStringLiteral("FileOutput_Enabled"), QStringLiteral("true")},
        {QStringLiteral("FileOutput_Address"), sentenceFile},
        {QStringLiteral("Output_Interval"), QStringLiteral("0")},
        {QStringLiteral("RS232Output_Enabled"), bSerial ? QStringLiteral("true") : QStringLiteral("false")}};
    if (bSerial)
        settings.emplace_back(QStringLiteral("RS232Output_Address"), serialAddress);
    return settings;
}

}

TreePublication::TreePublication(const QString& devicePath, const QString& outputDir, const QString& serialAddress)
    : m_pAzimuth(DeviceValue<values::Value<values::BearingResult>>(devicePath, StdDeviceDefinition::g_vdAzimuth))
    , m_pAzimuthList(
          DeviceValue<values::ValueList<values::BearingResult>>(devicePath, StdDeviceDefinition::g_vdAzimuthList))
    , m_strSentenceFile(QDir(outputDir).filePath(SENTENCE_FILE))
    , m_bSerial(!serialAddress.isEmpty())
    , m_pSettings(std::make_unique<CfgOverride>(CfgCenter::GetAppCfg(ICfg::Application),
                                                OutputSettings(m_strSentenceFile, serialAddress)))
    , m_pOutput(std::make_unique<DFDataOutput>(QStringLiteral("DFDataOutput")))
{
}

TreePublication::~TreePublication()
{
    Stop();
}

void TreePublication::Take(const AcceptedBlock& block)
{
    if (m_pAzimuth == nullptr)
        return;
    if (!block.bScan) {
        for (const values::BearingResult& result : block.lstResults)
            m_pAzimuth->SetValue(result);
        return;
    }
    if (m_pAzimuthList == nullptr)
        return;
    m_pAzimuthList->StartTransaction();
    m_pAzimuthList->Clear();
    for (const values::BearingResult& result : block.lstResults)
        m_pAzimuthList->PushBack(result);
    m_pAzimuthList->EndTransaction(ChangeCode::ValueChanged);
    // The azimuth announces the block; its last bearing stands for the scan.
    if (!block.lstResults.empty())
        m_pAzimuth->SetValue(block.lstResults.back());
}

void TreePublication::Drain(int nMs)
{
    const AccountedOutput& serial = m_pOutput->GetSerialOutput();
    QElapsedTimer waited;
    waited.start();
    while (serial.GetAccount().GetPending() > 0 && waited.elapsed() < nMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void TreePublication::Stop()
{
    // The line reports bytes it handed over through queued calls; those still
    // queued would die with the line and leave sentences that arrived counted as lost.
    QCoreApplication::sendPostedEvents();
    m_pOutput->SetEnabled(false);
}

std::vector<AccountedOutput*> TreePublication::GetOutputs()
{
    return {&m_pOutput->GetFileOutput(), &m_pOutput->GetSerialOutput()};
}

std::vector<AccountedOutput*> TreePublication::GetOutputsInUse()
{
    if (m_bSerial)
        return GetOutputs();
    return {&m_pOutput->GetFileOutput()};
}

const AccountedOutput& TreePublication::GetSentenceOutput() const
{
    return m_pOutput->GetFileOutput();
}

} // namespace kvt
