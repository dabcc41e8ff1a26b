#pragma once

#include "kvtstationlib_export.h"
#include "station/bearingsink.h"

#include <QString>

#include <memory>

class CfgOverride;
class DFDataOutput;

namespace values
{
class BearingResult;
template <class T>
class Value;
template <class T>
class ValueList;
} // namespace values

namespace kvt
{

/// The station's first sink: publishes each accepted block below the device
/// node ("Res/DfR/Azimuth" bearing by bearing; a scan's whole list as
/// "Res/DfR/AzimuthList", observers seeing it once, complete, then its last
/// bearing as the azimuth), where the DF data output observes the tree and
/// writes the DF sentences to its file and serial line. Those two are this
/// sink's outputs.
///
/// The DF data output reads its settings from the application configuration
/// and stores them when it goes; this run's settings (the sentence file in
/// the output folder, the serial line of the run or none) are lent to the
/// keys until then, so that the stored ones come back afterwards.
/// Single-threaded.
class KVTSTATION_EXPORT TreePublication : public BearingSink
{
public:
    /// In the output folder.
    static const QString SENTENCE_FILE;

    /// outputDir: absolute; serialAddress: empty for no serial output.
    TreePublication(const QString& devicePath, const QString& outputDir, const QString& serialAddress);
    ~TreePublication() override;

    void Take(const AcceptedBlock& block) override;
    /// Gives the serial line up to nMs of the event loop to send what waits for it.
    void Drain(int nMs);
    /// Closes the sentence file and the serial line; what the line did not send is lost.
    void Stop() override;
    /// The sentence file and the serial line (both: the settings may switch
    /// either on while the station runs).
    std::vector<AccountedOutput*> GetOutputs() override;
    /// The sentence file, and the serial line when the run has one.
    std::vector<AccountedOutput*> GetOutputsInUse() override;

    QString GetSentenceFile() const { return m_strSentenceFile; }
    const AccountedOutput& GetSentenceOutput() const;
    /// For its settings widget.
    DFDataOutput& GetDfDataOutput() { return *m_pOutput; }

private:
    values::Value<values::BearingResult>* m_pAzimuth;
    values::ValueList<values::BearingResult>* m_pAzimuthList;
    QString m_strSentenceFile;
    bool m_bSerial;
    /// Outlives the output, which stores its settings when it goes.
    std::unique_ptr<CfgOverride> m_pSettings;
    std::unique_ptr<DFDataOutput> m_pOutput;
};

} // namespace kvt
