#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"

#include "base/cfgcenter.h"
#include "base/errorhandler.h"
#include "base/icfg.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/cfgaccess.h"
#include "devicecontrol/directionfinder/kvtcommon/dfsentenceformatter.h"
#include "devicecontrol/directionfinder/kvtcommon/filesentencesink.h"
#include "devicecontrol/directionfinder/kvtcommon/serialinterface.h"
#include "devicecontrol/directionfinder/kvtcommon/serialsentencesink.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueobservermacros.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QByteArray>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTimerEvent>
#include <QWidget>

#include <type_traits>

namespace
{

const ICfg::View CONFIG_VIEW = ICfg::Application;
const QString KEY_SERIAL_ENABLED = QStringLiteral("RS232Output_Enabled");
const QString KEY_INTERVAL = QStringLiteral("Output_Interval");
const QString KEY_SERIAL_ADDRESS = QStringLiteral("RS232Output_Address");
const QString KEY_FILE_ENABLED = QStringLiteral("FileOutput_Enabled");
const QString KEY_FILE_NAME = QStringLiteral("FileOutput_Address");
const QString DEFAULT_SERIAL_ADDRESS = QStringLiteral("COM1:9600,e,8,1");
const int MAX_INTERVAL_MS = 10000;
const int INTERVAL_STEP_MS = 10;

} // namespace

struct DFDataOutput::Private
{
    explicit Private(unsigned short reconnectIntervalMs)
        : m_serial(reconnectIntervalMs)
    {
    }

    // Every tree value with its path, in the order ConnectToTree looks them up.
    template <class F>
    void ForEachValue(F&& function)
    {
        function(m_pAzimuth, "/KVTServer/Res/DfR/Azimuth");
        function(m_pHeading, "/KVTServer/Res/HeaR/TrueHeading");
        function(m_pOperationMode, "/KVTServer/DevAttr/OperationMode");
        function(m_pRoll, "/KVTServer/Res/PosR/Roll");
        function(m_pPitch, "/KVTServer/Res/PosR/Pitch");
        function(m_pAltitude, "/KVTServer/Res/PosR/Altitude");
        function(m_pPosLastUpdate, "/KVTServer/Res/PosR/PosLastUpdate");
        function(m_pLatitude, "/KVTServer/Res/PosR/PosLatitude");
        function(m_pLongitude, "/KVTServer/Res/PosR/PosLongitude");
        function(m_pSRStatus, "/KVTServer/Par/Evt/SRStatus");
        function(m_pAzimuthList, "/KVTServer/Res/DfR/AzimuthList");
    }

    int m_nOutputTimerId = -1;
    values::Value<values::BearingResult>* m_pAzimuth = nullptr;
    values::ValueNumeric<int>* m_pHeading = nullptr;
    values::ValueNumeric<double>* m_pAltitude = nullptr;
    values::ValueNumeric<double>* m_pRoll = nullptr;
    values::ValueNumeric<double>* m_pPitch = nullptr;
    values::Value<qint64>* m_pPosLastUpdate = nullptr;
    values::ValueNumeric<double>* m_pLatitude = nullptr;
    values::ValueNumeric<double>* m_pLongitude = nullptr;
    values::ValueList<values::BearingResult>* m_pAzimuthList = nullptr;
    values::ValueSelection* m_pSRStatus = nullptr;
    values::ValueSelection* m_pOperationMode = nullptr;
    // The sinks live as long as the output, so that their accounts cover every restart.
    SerialSentenceSink m_serial;
    FileSentenceSink m_file;
    int m_nOutputIntervalMs = 0;
    bool m_bSerialEnabled = false;
    bool m_bFileEnabled = false;
    QString m_strFileName = QStringLiteral("C:/temp/DFDataOutput.txt");
    // Children of the settings widget: they vanish with it.
    QPointer<QCheckBox> m_pSerialCheck;
    QPointer<QLineEdit> m_pSerialAddressEdit;
    QPointer<QCheckBox> m_pFileCheck;
    QPointer<QLineEdit> m_pFileNameEdit;
    QPointer<QSpinBox> m_pIntervalSpin;
    DFSentenceFormatter m_formatter;
};

DFDataOutput::DFDataOutput(const QString& name)
    : DFDataOutput(name, SerialInterface::RECONNECT_INTERVAL_MS)
{
}

DFDataOutput::DFDataOutput(const QString& name, unsigned short reconnectIntervalMs)
    : KVTAbstractInterface(name)
    , m_pData(std::make_unique<Private>(reconnectIntervalMs))
{
    ReadConfigurationFromFile();
}

DFDataOutput::~DFDataOutput()
{
    SaveConfigurationToFile();
    SetEnabled(false);
    delete m_pConfigWidget;
}

void DFDataOutput::SetEnabled(bool enabled)
{
    if (enabled == m_bEnabled)
        return;
    m_bEnabled = enabled;
    if (enabled)
    {
        ConnectToTree();
        if (m_pData->m_bSerialEnabled)
            OpenSerialInterface();
        else
            CloseSerialInterface();
        if (m_pData->m_bFileEnabled)
            OpenFile();
        else
            CloseFile();
        if (m_pData->m_nOutputIntervalMs >= 1 && m_pData->m_nOutputTimerId == -1)
            StartOutputTimer();
    }
    else
    {
        DisconnectFromTree();
        CloseSerialInterface();
        CloseFile();
        KillOutputTimer();
    }
}

void DFDataOutput::Update(Observable* pSender, TChangeCode code)
{
    if (code == ChangeCode::ValueChanged && pSender == m_pData->m_pAzimuth && m_pData->m_nOutputTimerId == -1)
    {
        if (m_pData->m_pAzimuth->GetValue().GetQuality() > 0)
            SendData();
    }
    else if (code == ChangeCode::StateChanged)
    {
        m_pData->ForEachValue([this, pSender](auto*& rpValue, const char*) {
            if (rpValue != nullptr && pSender == rpValue && rpValue->GetState() == values::ValueBase::STATE_GONE)
                values::ReleaseValue(rpValue, this);
        });
    }
}

void DFDataOutput::SlotUpdateConfiguration()
{
    UpdateConfigurationFromConfigWidget();
}

void DFDataOutput::timerEvent(QTimerEvent* pEvent)
{
    if (pEvent->timerId() != m_pData->m_nOutputTimerId)
    {
        KVTAbstractInterface::timerEvent(pEvent);
        return;
    }
    if (m_pData->m_pOperationMode != nullptr && m_pData->m_pOperationMode->GetCurrentKey() != 0)
        SendData();
}

void DFDataOutput::SlotStateChanged()
{
    Private& d = *m_pData;
    if (!d.m_pSerialCheck || !d.m_pSerialAddressEdit || !d.m_pFileCheck || !d.m_pFileNameEdit || !d.m_pIntervalSpin)
        return;
    d.m_pSerialAddressEdit->setEnabled(d.m_pSerialCheck->isChecked());
    d.m_pFileNameEdit->setEnabled(d.m_pFileCheck->isChecked());
    d.m_pIntervalSpin->setEnabled(d.m_pSerialCheck->isChecked() || d.m_pFileCheck->isChecked());
}

void DFDataOutput::ReadConfigurationFromFile()
{
    Private& d = *m_pData;
    ICfg& rCfg = CfgCenter::GetAppCfg(CONFIG_VIEW);
    // Absent keys are written with the current settings and left editable for the user.
    using NxKVTCommon::CfgAccess;
    const CfgAccess::CreatedKey eCreated = CfgAccess::CreatedKey::MakeEditable;
    d.m_bSerialEnabled = CfgAccess::ReadBoolOrCreate(rCfg, KEY_SERIAL_ENABLED, d.m_bSerialEnabled, eCreated);
    d.m_nOutputIntervalMs = CfgAccess::ReadIntOrCreate(rCfg, KEY_INTERVAL, d.m_nOutputIntervalMs, eCreated);
    SetAddress(CfgAccess::ReadStringOrCreate(rCfg, KEY_SERIAL_ADDRESS, DEFAULT_SERIAL_ADDRESS, eCreated));
    d.m_bFileEnabled = CfgAccess::ReadBoolOrCreate(rCfg, KEY_FILE_ENABLED, d.m_bFileEnabled, eCreated);
    d.m_strFileName = CfgAccess::ReadStringOrCreate(rCfg, KEY_FILE_NAME, d.m_strFileName, eCreated);

    CreateConfigWidget();
    d.m_pSerialCheck->setChecked(d.m_bSerialEnabled);
    d.m_pFileCheck->setChecked(d.m_bFileEnabled);
    d.m_pSerialAddressEdit->setText(GetAddress());
    d.m_pFileNameEdit->setText(d.m_strFileName);
    d.m_pIntervalSpin->setValue(d.m_nOutputIntervalMs);
    SlotStateChanged();
    SetEnabled(d.m_bSerialEnabled || d.m_bFileEnabled);
}

void DFDataOutput::SaveConfigurationToFile()
{
    const Private& d = *m_pData;
    ICfg& rCfg = CfgCenter::GetAppCfg(CONFIG_VIEW);
    rCfg.SetBool(KEY_SERIAL_ENABLED, d.m_bSerialEnabled, 0);
    rCfg.SetInt(KEY_INTERVAL, d.m_nOutputIntervalMs, 0);
    rCfg.SetString(KEY_SERIAL_ADDRESS, GetAddress(), 0);
    rCfg.SetBool(KEY_FILE_ENABLED, d.m_bFileEnabled, 0);
    rCfg.SetString(KEY_FILE_NAME, d.m_strFileName, 0);
}

void DFDataOutput::CreateConfigWidget()
{
    Private& d = *m_pData;
    m_pConfigWidget = new QWidget;
    auto* pLayout = new QGridLayout(m_pConfigWidget);
    pLayout->setAlignment(Qt::AlignTop);

    d.m_pSerialCheck = new QCheckBox(tr("RS232"));
    d.m_pSerialAddressEdit = new QLineEdit;
    pLayout->addWidget(d.m_pSerialCheck, 1, 0);
    pLayout->addWidget(new QLabel(tr("Address:")), 1, 1);
    pLayout->addWidget(d.m_pSerialAddressEdit, 1, 2);

    d.m_pFileCheck = new QCheckBox(tr("File"));
    d.m_pFileNameEdit = new QLineEdit;
    pLayout->addWidget(d.m_pFileCheck, 2, 0);
    pLayout->addWidget(new QLabel(tr("Filename:")), 2, 1);
    pLayout->addWidget(d.m_pFileNameEdit, 2, 2);

    d.m_pIntervalSpin = new QSpinBox;
    d.m_pIntervalSpin->setRange(0, MAX_INTERVAL_MS);
    d.m_pIntervalSpin->setSingleStep(INTERVAL_STEP_MS);
    pLayout->addWidget(new QLabel(tr("Output interval (ms):")), 3, 0);
    pLayout->addWidget(d.m_pIntervalSpin, 3, 1);

    connect(d.m_pSerialCheck, &QCheckBox::stateChanged, this, &DFDataOutput::SlotStateChanged);
    connect(d.m_pFileCheck, &QCheckBox::stateChanged, this, &DFDataOutput::SlotStateChanged);
    connect(m_pConfigWidget, &QObject::destroyed, this, &KVTAbstractInterface::SlotOnConfigWidgetDestroyed);
}

void DFDataOutput::UpdateConfigurationFromConfigWidget()
{
    Private& d = *m_pData;
    if (m_pConfigWidget == nullptr || !d.m_pSerialCheck || !d.m_pSerialAddressEdit || !d.m_pFileCheck
        || !d.m_pFileNameEdit || !d.m_pIntervalSpin)
        return;
    const bool bSerialEnabled = d.m_pSerialCheck->isChecked();
    const QString address = d.m_pSerialAddressEdit->text();
    const bool bFileEnabled = d.m_pFileCheck->isChecked();
    const QString fileName = d.m_pFileNameEdit->text();
    const int intervalMs = d.m_pIntervalSpin->value();
    const bool bChanged = bSerialEnabled != d.m_bSerialEnabled || address != GetAddress()
                          || bFileEnabled != d.m_bFileEnabled || fileName != d.m_strFileName
                          || intervalMs != d.m_nOutputIntervalMs;

    d.m_bSerialEnabled = bSerialEnabled;
    SetAddress(address);
    d.m_bFileEnabled = bFileEnabled;
    d.m_strFileName = fileName;
    d.m_nOutputIntervalMs = intervalMs;
    if (!bChanged)
        return;
    SetEnabled(false);
    if (d.m_bSerialEnabled || d.m_bFileEnabled)
        SetEnabled(true);
}

bool DFDataOutput::ConnectToTree()
{
    m_pData->ForEachValue([this](auto*& rpValue, const char* path) {
        if (rpValue != nullptr)
            return;
        rpValue = values::LookUpValue<std::remove_reference_t<decltype(*rpValue)>>(QLatin1String(path));
        if (rpValue != nullptr)
            rpValue->AddObserver(this);
    });
    return m_pData->m_pAzimuth != nullptr && m_pData->m_pHeading != nullptr && m_pData->m_pOperationMode != nullptr;
}

void DFDataOutput::DisconnectFromTree()
{
    m_pData->ForEachValue([this](auto*& rpValue, const char*) { values::ReleaseValue(rpValue, this); });
}

AccountedOutput& DFDataOutput::GetFileOutput()
{
    return m_pData->m_file;
}

AccountedOutput& DFDataOutput::GetSerialOutput()
{
    return m_pData->m_serial;
}

void DFDataOutput::OpenSerialInterface()
{
    m_pData->m_serial.Open(GetAddress());
}

void DFDataOutput::CloseSerialInterface()
{
    m_pData->m_serial.Close();
}

void DFDataOutput::OpenFile()
{
    Private& d = *m_pData;
    if (!d.m_file.Open(d.m_strFileName) && ErrorHandler::Instance().TracesEnabled())
        _Q_Trace(QStringLiteral("WARNING: DFDataOutput: cannot open '%1': %2")
                     .arg(d.m_strFileName, d.m_file.GetAccount().GetLastFailure()),
                 __FILE__, __LINE__);
}

void DFDataOutput::CloseFile()
{
    m_pData->m_file.Close();
}

void DFDataOutput::StartOutputTimer()
{
    m_pData->m_nOutputTimerId = startTimer(m_pData->m_nOutputIntervalMs, Qt::CoarseTimer);
}

void DFDataOutput::KillOutputTimer()
{
    if (m_pData->m_nOutputTimerId != -1)
        killTimer(m_pData->m_nOutputTimerId);
    m_pData->m_nOutputTimerId = -1;
}

void DFDataOutput::SendData()
{
    Private& d = *m_pData;
    const auto valueOf = [](const values::ValueNumeric<double>* pValue) {
        return pValue != nullptr ? pValue->GetValue() : 0.0;
    };
    DFSentenceFormatter::Platform platform;
    platform.fHeading = d.m_pHeading != nullptr ? d.m_pHeading->GetValue() : -1;
    platform.fPitch = valueOf(d.m_pPitch);
    platform.fRoll = valueOf(d.m_pRoll);
    platform.fAltitude = valueOf(d.m_pAltitude);
    platform.fLatitude = valueOf(d.m_pLatitude);
    platform.fLongitude = valueOf(d.m_pLongitude);
    platform.bPositionTime = d.m_pPosLastUpdate != nullptr;
    platform.nPositionTime = d.m_pPosLastUpdate != nullptr ? static_cast<quint64>(d.m_pPosLastUpdate->GetValue()) : 0;
    DFSentenceFormatter& rFormatter = d.m_formatter;
    rFormatter.Begin(d.m_pAzimuth != nullptr ? &d.m_pAzimuth->GetValue() : nullptr, platform);

    const bool bScan = d.m_pSRStatus != nullptr && d.m_pAzimuthList != nullptr
                       && d.m_pSRStatus->GetCurrentIndex() == 1 && d.m_file.IsOpen();
    if (!bScan)
    {
        // A file that could not be opened still counts the line as lost.
        if (d.m_bFileEnabled)
            WriteToFile(rFormatter.FileLine(), 1);
        if (d.m_serial.IsActive())
            d.m_serial.Write(rFormatter.SerialLine());
        return;
    }
    if (d.m_pAzimuthList->Empty())
        return;
    WriteToFile(rFormatter.ScanBlock(d.m_pAzimuthList->GetItems()), static_cast<quint64>(d.m_pAzimuthList->Size()));
}

// One write per sentence or scan block, so that a reader of the file sees
// whole lines; on a full disk they are lost whole.
void DFDataOutput::WriteToFile(const QByteArray& text, quint64 nSentences)
{
    FileSentenceSink& rFile = m_pData->m_file;
    if (!rFile.Write(text, nSentences) && rFile.IsOpen() && ErrorHandler::Instance().TracesEnabled())
        _Q_Trace(QStringLiteral("WARNING: DFDataOutput: writing to '%1' failed: %2")
                     .arg(rFile.GetTarget(), rFile.GetAccount().GetLastFailure()),
                 __FILE__, __LINE__);
}
