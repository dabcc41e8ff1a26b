#pragma once

#include "base/iobserver.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtabstractinterface.h"
#include "kvtcommon_export.h"

#include <QByteArray>

#include <memory>

class AccountedOutput;

/// Sends the current DF result as a text sentence to a serial line, to a text
/// file, or both: on every new valid bearing (output interval 0) or on its own
/// timer while the device's operation mode is not 0 (interval in ms).
///
/// Settings live in the application configuration (view 2) under
/// "RS232Output_Enabled", "Output_Interval", "RS232Output_Address",
/// "FileOutput_Enabled" and "FileOutput_Address"; missing keys are written
/// with their defaults on construction. The settings are saved only by the
/// destructor. Every enable moves an existing output file to "<name>.bak"
/// (replacing an older backup) and starts an empty file. A file that cannot
/// be opened or written (a full disk) is traced as a warning and its lines
/// are lost, each one whole; the next enable tries again.
///
/// The file and the serial line each keep a delivery account (sentences
/// offered, delivered, lost, the last failure's reason) over the whole life
/// of the output, across restarts, and signal failures as they happen (see
/// GetFileOutput, GetSerialOutput). A file sentence counts while file output
/// is switched on, also when the file could not be opened; a scan block
/// counts one sentence per line. A serial sentence counts while serial output
/// is switched on, and is delivered once the line took all its bytes.
///
/// Sentence (serial line and file, CR LF after each line):
///   "$PLG,%5.1f,FRQ,%10.0f,CMP,%5.1f,QUA,%5.1f,LEV,%5.1f,TIM,hhmmss"
/// with azimuth/10 (-1.0 unless quality > 0), frequency in Hz, heading/10,
/// quality, level/100 and the bearing's UTC time. File lines add
///   ",ELV,%3.1f,PTC,%3.1f,RLL,%3.1f,ALT,%3.1f,PTM,hhmmss,LAT,%9.5f,LON,%9.7f"
/// (elevation/10, pitch, roll, altitude, position time, latitude, longitude).
/// Numbers are formatted as C printf does: right-aligned, never cut, ties
/// rounded to even. A value missing from the tree gives its field a fixed
/// stand-in: no bearing azimuth -1.0, frequency 0, quality 0.0, level -0.5,
/// elevation 0.0; no heading -0.1; no position value 0.
/// While a scan runs (SR status index 1) and the file is open, each output
/// writes one file line per bearing of the scan list, each ended by
/// ",SR,<index>", and an empty line after the block; nothing goes to the
/// serial line then.
///
/// Decisions where the sentence's history left a choice:
/// - The serial line always carries the bare sentence, whether or not file
///   output runs, so that its receivers see one fixed form.
/// - A missing bearing or position time gives an empty time field.
/// - Every value read from the tree is observed, and one that leaves the tree
///   is forgotten at once, so no value is used after it is gone.
/// - Once the settings widget is destroyed (for example by the dialogue it
///   was put in), its controls are forgotten with it and
///   SlotUpdateConfiguration() does nothing.
///
/// Single-threaded: use it on the thread that owns it (Qt timers, widgets).
class KVTCOMMON_EXPORT DFDataOutput : public KVTAbstractInterface, public IObserver
{
    Q_OBJECT

public:
    /// Reads the settings, builds the settings widget and enables the output
    /// when serial or file output is switched on. Needs a QApplication.
    explicit DFDataOutput(const QString& name);
    /// Saves the settings, stops the output and deletes the settings widget
    /// unless it is already gone.
    ~DFDataOutput() override;

    void SetEnabled(bool enabled) override;

    /// The sinks with their accounts and failure signals; they live as long
    /// as this object.
    AccountedOutput& GetFileOutput();
    AccountedOutput& GetSerialOutput();
    void Update(Observable* pSender, TChangeCode code) override;

public slots:
    /// Takes over what the settings widget shows; restarts the output only
    /// when something differs from the current settings.
    void SlotUpdateConfiguration() override;

protected:
    /// For tests and embedding: another reconnect interval of the serial line.
    DFDataOutput(const QString& name, unsigned short reconnectIntervalMs);

    void timerEvent(QTimerEvent* pEvent) override;

private slots:
    void SlotStateChanged();

private:
    struct Private;

    void ReadConfigurationFromFile();
    void SaveConfigurationToFile();
    void CreateConfigWidget();
    void UpdateConfigurationFromConfigWidget();
    bool ConnectToTree();
    void DisconnectFromTree();
    void OpenSerialInterface();
    void CloseSerialInterface();
    void OpenFile();
    void CloseFile();
    void StartOutputTimer();
    void KillOutputTimer();
    void SendData();
    void WriteToFile(const QByteArray& text, quint64 nSentences);

    std::unique_ptr<Private> m_pData;
};
