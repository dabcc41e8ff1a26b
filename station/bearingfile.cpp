#include "station/bearingfile.h"

#include "contract/bearingmessage.h"
#include "station/acceptedblock.h"

namespace kvt
{

BearingFile::BearingFile(const QString& fileName)
    : m_sink(nullptr, QStringLiteral("bearings"))
{
    m_sink.Open(fileName);
}

void BearingFile::Take(const AcceptedBlock& block)
{
    for (const BearingRecord& bearing : block.lstBearings)
        m_sink.Write(BearingMessage::Format(bearing) + '\n', 1);
}

} // namespace kvt
