#include "station/bearingfile.h"

#include "fusion/bearingjson.h"

namespace kvt
{

BearingFile::BearingFile(const QString& fileName)
    : m_sink(nullptr, QStringLiteral("bearings"))
{
    m_sink.Open(fileName);
}

void BearingFile::Take(const Bearing& bearing)
{
    m_sink.Write(BearingJson::Format(bearing) + '\n', 1);
}

} // namespace kvt
