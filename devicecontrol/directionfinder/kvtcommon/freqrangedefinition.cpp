#include "devicecontrol/directionfinder/kvtcommon/freqrangedefinition.h"

namespace NxKVTCommon
{

FreqRangeDefinition::FreqRangeDefinition() = default;
FreqRangeDefinition::FreqRangeDefinition(const FreqRangeDefinition& other) = default;
FreqRangeDefinition& FreqRangeDefinition::operator=(const FreqRangeDefinition& other) = default;

FreqRangeDefinition::FreqRangeDefinition(const FreqRangeDefinition* pSource)
{
    if (pSource == nullptr)
        return;
    m_nIndex = pSource->m_nIndex;
    m_fStartFreq = pSource->m_fStartFreq;
    m_fStepFreq = pSource->m_fStepFreq;
    m_fStopFreq = pSource->m_fStopFreq;
    m_nFirstChannel = pSource->m_nFirstChannel;
    m_nLastChannel = pSource->m_nLastChannel;
    m_dfSettings = pSource->m_dfSettings;
    m_demSettings = pSource->m_demSettings;
    m_filterSettings = pSource->m_filterSettings;
    m_gainSettings = pSource->m_gainSettings;
    m_nAverageTime = pSource->m_nAverageTime;
}

} // namespace NxKVTCommon
