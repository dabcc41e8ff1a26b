#include "devicecontrol/directionfinder/zodclient/zodfollower.h"

#include "devicecontrol/directionfinder/zodclient/zodpayload.h"
#include "devicecontrol/directionfinder/zodclient/zodtopics.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valueselection.h"

const QString ZodFollower::FREQUENCY_TAG = QStringLiteral("FRQ");
const QString ZodFollower::BANDWIDTH_TAG = QStringLiteral("BW");
const QString ZodFollower::DEMODULATION_TAG = QStringLiteral("DEM");
const QString ZodFollower::SELECT_EQUAL_OR_BIGGER = QStringLiteral("AdAlgSelectEqualOrBiggerValue");

namespace
{

// The smallest item at or above the bandwidth, when no item has the sender's name.
bool SelectEqualOrBigger(values::ValueSelection& selection, const QString& text, IObserver* pWriter)
{
    if (selection.FindName(text) >= 0)
        return selection.SetCurrentText(text, pWriter);
    double fBandwidth = 0.0;
    if (!ZodPayload::Bandwidth(text, fBandwidth))
        return false;
    int nBest = -1;
    for (int i = 0; i < selection.GetItemCount(); ++i)
    {
        const double fValue = selection.GetItem(i)->GetValue();
        if (fValue >= fBandwidth && (nBest < 0 || fValue < selection.GetItem(nBest)->GetValue()))
            nBest = i;
    }
    return nBest >= 0 && selection.SetCurrentIndex(nBest, pWriter);
}

} // namespace

ZodFollower::ZodFollower(IObserver* pWriter)
    : m_pWriter(pWriter)
{
}

void ZodFollower::SetTargets(const QStringList& targets)
{
    m_lstTargets = targets;
    for (auto it = m_mapSenders.begin(); it != m_mapSenders.end();)
        it = targets.contains(it->first) ? std::next(it) : m_mapSenders.erase(it);
}

bool ZodFollower::SetRange(const QString& range)
{
    if (!ZodPayload::Range(range, m_fMinimum, m_fMaximum))
        return false;
    m_bRange = true;
    return true;
}

void ZodFollower::AddParameter(const QString& tag, const QString& valuePath, const QString& adaptationRule)
{
    m_mapTargets[tag] = {valuePath, adaptationRule};
}

void ZodFollower::SetModeParameter(const QString& valuePath, const QString& tag)
{
    if (!m_strModeTag.isEmpty())
        m_mapTargets.erase(m_strModeTag);
    m_strModeTag = tag;
    m_mapTargets[tag] = {valuePath, QString()};
}

ZodFollower::Outcome ZodFollower::Receive(const QString& topic, const QByteArray& payload, qint64 nNowMs)
{
    QString sender;
    QString tag;
    if (!ZodTopics::SplitParameter(topic, sender, tag))
        return Count(Outcome::MALFORMED);
    if (!m_lstTargets.contains(sender))
        return Count(Outcome::UNFOLLOWED);
    if (!IsTuningTag(tag))
        return Count(Outcome::UNKNOWN_TAG);
    QString text;
    if (!ZodPayload::Text(payload, text))
        return Count(Outcome::MALFORMED);

    SenderState& state = m_mapSenders[sender];
    if (tag == FREQUENCY_TAG)
    {
        if (text.isEmpty())
        {
            state.bFrequencyKnown = false;
            return Count(Outcome::CLEARED);
        }
        double fFrequency = 0.0;
        if (!ZodPayload::Frequency(text, fFrequency))
            return Count(Outcome::MALFORMED);
        state.bFrequencyKnown = true;
        state.fFrequency = fFrequency;
        if (!InRange(fFrequency))
            return Count(Outcome::OUT_OF_RANGE);
        return Hold(sender, tag, nNowMs) ? Outcome::DEFERRED : TuneTo(state);
    }
    if (text.isEmpty())
    {
        state.mapLatest.erase(tag);
        return Count(Outcome::CLEARED);
    }
    state.mapLatest[tag] = text;
    if (!state.bFrequencyKnown || !InRange(state.fFrequency))
        return Count(Outcome::OUT_OF_RANGE);
    return Hold(sender, tag, nNowMs) ? Outcome::DEFERRED : Count(Apply(tag, text));
}

void ZodFollower::ApplyDue(qint64 nNowMs)
{
    if (m_strHeld.isEmpty() || nNowMs < GetDueMs())
        return;
    const auto found = m_mapSenders.find(m_strHeld);
    const QStringList tags = m_lstHeldTags;
    m_strHeld.clear();
    m_lstHeldTags.clear();
    if (found == m_mapSenders.end())
        Count(Outcome::UNFOLLOWED);
    else if (!found->second.bFrequencyKnown || !InRange(found->second.fFrequency))
        Count(Outcome::OUT_OF_RANGE);
    else
    {
        m_nLastTuneMs = nNowMs;
        if (tags.contains(FREQUENCY_TAG))
            TuneTo(found->second);
        else
            for (const QString& tag : tags)
            {
                const auto latest = found->second.mapLatest.find(tag);
                // A tag cleared while held has nothing to write.
                if (latest != found->second.mapLatest.end())
                    Count(Apply(tag, latest->second));
            }
    }
}

bool ZodFollower::Hold(const QString& sender, const QString& tag, qint64 nNowMs)
{
    if (m_strHeld.isEmpty() && (!m_bTuned || nNowMs - m_nLastTuneMs >= m_nDwellMs))
    {
        m_bTuned = true;
        m_nLastTuneMs = nNowMs;
        return false;
    }
    if (!m_strHeld.isEmpty())
        Count(Outcome::COALESCED);
    if (m_strHeld != sender)
        m_lstHeldTags.clear();
    m_strHeld = sender;
    if (!m_lstHeldTags.contains(tag))
        m_lstHeldTags << tag;
    return true;
}

ZodFollower::Outcome ZodFollower::TuneTo(const SenderState& state)
{
    const Outcome eOutcome = Count(Apply(FREQUENCY_TAG, QString::number(state.fFrequency, 'g', 17)));
    if (eOutcome == Outcome::APPLIED)
        for (const auto& latest : state.mapLatest)
            Count(Apply(latest.first, latest.second));
    return eOutcome;
}

bool ZodFollower::IsTuningTag(const QString& tag) const
{
    const bool bKind = tag == FREQUENCY_TAG || tag == BANDWIDTH_TAG || tag == DEMODULATION_TAG
        || (!m_strModeTag.isEmpty() && tag == m_strModeTag);
    return bKind && m_mapTargets.count(tag) > 0;
}

bool ZodFollower::InRange(double fFrequency) const
{
    return m_bRange && fFrequency >= m_fMinimum && fFrequency <= m_fMaximum;
}

ZodFollower::Outcome ZodFollower::Apply(const QString& tag, const QString& text)
{
    // A held bandwidth may bring the frequency of a receiver that was given no frequency path.
    const auto found = m_mapTargets.find(tag);
    values::ValueBase* pValue =
        found != m_mapTargets.end() ? values::Tree::Instance()->FindValue(found->second.strPath) : nullptr;
    if (pValue == nullptr)
        return Outcome::REFUSED;
    const Target& target = found->second;
    auto* pSelection = dynamic_cast<values::ValueSelection*>(pValue);
    const bool bApplied = pSelection != nullptr && target.strRule == SELECT_EQUAL_OR_BIGGER
        ? SelectEqualOrBigger(*pSelection, text, m_pWriter)
        : pValue->SetStringValue(text, m_pWriter);
    return bApplied ? Outcome::APPLIED : Outcome::REFUSED;
}

ZodFollower::Outcome ZodFollower::Count(Outcome eOutcome)
{
    qint64* const apCounters[] = {&m_counts.nApplied,   &m_counts.nOutOfRange, &m_counts.nUnknownTag,
                                  &m_counts.nUnfollowed, &m_counts.nMalformed,  &m_counts.nRefused,
                                  &m_counts.nCleared, &m_counts.nCoalesced};
    ++*apCounters[static_cast<int>(eOutcome)];
    return eOutcome;
}
