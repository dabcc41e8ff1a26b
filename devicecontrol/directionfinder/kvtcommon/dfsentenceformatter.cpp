#include "devicecontrol/directionfinder/kvtcommon/dfsentenceformatter.h"

#include "base/datetime.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <QString>

#include <cstdarg>
#include <cstdio>

namespace
{

// printf-style append; numbers longer than the scratch buffer are formatted
// a second time straight into the line.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void AppendFormat(QByteArray& rLine, const char* format, ...)
{
    char scratch[256];
    va_list args;
    va_start(args, format);
    va_list retry;
    va_copy(retry, args);
    const int length = std::vsnprintf(scratch, sizeof scratch, format, args);
    va_end(args);
    if (length >= 0 && static_cast<size_t>(length) < sizeof scratch)
    {
        rLine.append(scratch, length);
    }
    else if (length > 0)
    {
        const int start = rLine.size();
        rLine.resize(start + length);
        // QByteArray keeps room for its terminating zero, which vsnprintf writes.
        std::vsnprintf(rLine.data() + start, static_cast<size_t>(length) + 1, format, retry);
    }
    va_end(retry);
}

} // namespace

// The "hhmmss" text of a time. The local-time conversion costs more than the
// rest of a sentence, so it runs once a minute for "hhmm": zone offsets are
// whole minutes, which leaves the seconds those of the time itself.
class DFSentenceFormatter::TimeText
{
public:
    const QByteArray& Of(quint64 time)
    {
        // Beyond the year 9999 (and from 2^63 ms on, read as before 1970) the
        // date-time classes no longer keep to whole minutes of this number:
        // such times are converted in full.
        if (time >= LAST_CACHED_TIME)
        {
            m_bValid = false;
            return m_text = Omek::DateTime(time).toString(QStringLiteral("hhmmss")).toLatin1();
        }
        const quint64 second = time / 1000;
        if (!m_bValid || second / 60 != m_nSecond / 60)
            m_text = Omek::DateTime(second / 60 * 60000).toString(QStringLiteral("hhmm00")).toLatin1();
        // Up to the year 9999 the text is always the six digits asked for.
        const int seconds = static_cast<int>(second % 60);
        m_text[4] = static_cast<char>('0' + seconds / 10);
        m_text[5] = static_cast<char>('0' + seconds % 10);
        m_nSecond = second;
        m_bValid = true;
        return m_text;
    }

private:
    static constexpr quint64 LAST_CACHED_TIME = 253402300800000; // 10000-01-01 00:00 UTC

    bool m_bValid = false;
    quint64 m_nSecond = 0;
    QByteArray m_text;
};

namespace
{

const QByteArray CRLF = QByteArrayLiteral("\r\n");
// Room for a sentence with its extension and line end, so that it is built
// without growing.
const int SENTENCE_RESERVE = 256;
// The bearing's and the position's time texts.
const size_t BEARING_TIME = 0;
const size_t POSITION_TIME = 1;

} // namespace

DFSentenceFormatter::DFSentenceFormatter()
    : m_aTimeTexts(2)
{
}

DFSentenceFormatter::~DFSentenceFormatter() = default;

void DFSentenceFormatter::Begin(const values::BearingResult* pBearing, const Platform& platform)
{
    m_platform = platform;
    m_bearingTime = pBearing != nullptr ? m_aTimeTexts[BEARING_TIME].Of(pBearing->GetTimeStamp()) : QByteArray();
    const QByteArray positionTime =
        platform.bPositionTime ? m_aTimeTexts[POSITION_TIME].Of(platform.nPositionTime) : QByteArray();
    m_extension.clear();
    AppendFormat(m_extension, ",ELV,%3.1f,PTC,%3.1f,RLL,%3.1f,ALT,%3.1f,PTM,%s,LAT,%9.5f,LON,%9.7f",
                 pBearing != nullptr ? pBearing->GetElevation() / 10.0 : 0.0, platform.fPitch, platform.fRoll,
                 platform.fAltitude, positionTime.constData(), platform.fLatitude, platform.fLongitude);
    m_sentence = Sentence(pBearing, false);
}

QByteArray DFSentenceFormatter::FileLine()
{
    QByteArray line = m_sentence;
    line += m_extension;
    line += CRLF;
    return line;
}

QByteArray DFSentenceFormatter::SerialLine()
{
    QByteArray line = m_sentence;
    line += CRLF;
    return line;
}

QByteArray DFSentenceFormatter::ScanBlock(const std::vector<values::BearingResult>& bearings)
{
    QByteArray block;
    int index = 0;
    for (const values::BearingResult& entry : bearings)
    {
        block += Sentence(&entry, true) + m_extension;
        AppendFormat(block, ",SR,%d\r\n", index++);
    }
    return block += CRLF;
}

QByteArray DFSentenceFormatter::Sentence(const values::BearingResult* pBearing, bool bScan) const
{
    QByteArray line;
    line.reserve(SENTENCE_RESERVE);
    const bool bValid = pBearing != nullptr && (bScan || pBearing->GetQuality() > 0);
    AppendFormat(line, "$PLG,%5.1f,FRQ,%10.0f,CMP,%5.1f,QUA,%5.1f,LEV,%5.1f,TIM,%s",
                 bValid ? pBearing->GetAzimuth() / 10.0 : -1.0, pBearing != nullptr ? pBearing->GetFrequency() : 0.0,
                 m_platform.fHeading / 10.0, pBearing != nullptr ? static_cast<double>(pBearing->GetQuality()) : 0.0,
                 pBearing != nullptr ? pBearing->GetLevel() / 100.0 : -0.5, m_bearingTime.constData());
    return line;
}
