#include "station/bearingfile.h"

#include "contract/bearingmessage.h"

namespace kvt
{

BearingFile::BearingFile(const QString& fileName)
    : m_sink(nullptr, QStringLiteral("bearings"))
{
    m_sink.Open(fileName);
}

void BearingFile::Take(const BearingRecord& bearing)
{
    m_sink.Write(BearingMessage::Format(bearing) + '\n', 1);
}

} // namespace kvt
