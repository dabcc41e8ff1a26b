#include "valueframework/valueclasses/pathindex.h"

#include "valueframework/valueclasses/node.h"

#include <cstring>


namespace values
{

namespace
{
// A component's hash continues its parent's: one multiply-xorshift round per
// four UTF-16 units of the name (a 64-bit word) and one for the up to three
// units left over, folded to 32 bits. ChildHash and the one-pass path walk of
// Find cut a name into the same words, counted from the start of the name.
constexpr quint64 MULTIPLIER = 0x9e3779b97f4a7c15ull;
constexpr quint64 SLASHES = 0x002f002f002f002full;

inline quint64 Mix(quint64 state, quint64 word)
{
    state = (state ^ word) * MULTIPLIER;
    return state ^ (state >> 29);
}

inline uint Fold(quint64 state)
{
    return static_cast<uint>(state ^ (state >> 32));
}

inline quint64 ReadWord(const char16_t* p)
{
    quint64 word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The one to three units of [p, pEnd) packed into a word.
inline quint64 ReadTail(const char16_t* p, const char16_t* pEnd)
{
    quint64 word = 0;
    for (int nShift = 0; p != pEnd; ++p, nShift += 16)
        word |= quint64(*p) << nShift;
    return word;
}

// True when one of the four units of the word is "/".
inline bool HasSlash(quint64 word)
{
    const quint64 x = word ^ SLASHES;
    return ((x - 0x0001000100010001ull) & ~x & 0x8000800080008000ull) != 0;
}
}

uint PathIndex::ChildHash(uint parentHash, QStringView name)
{
    quint64 state = Mix(parentHash, u'/');
    const char16_t* p = name.utf16();
    const char16_t* const pEnd = p + name.size();
    for (; pEnd - p >= 4; p += 4)
        state = Mix(state, ReadWord(p));
    if (p != pEnd)
        state = Mix(state, ReadTail(p, pEnd));
    return Fold(state);
}

size_t PathIndex::Home(uint hash) const
{
    // FNV's low bits alone spread structured names badly: mix before masking
    // (the MurmurHash3 finaliser).
    hash ^= hash >> 16;
    hash *= 0x85ebca6bu;
    hash ^= hash >> 13;
    hash *= 0xc2b2ae35u;
    hash ^= hash >> 16;
    return hash & Mask();
}

ValueBase* PathIndex::Find(ValueBase* pRoot, QStringView absolutePath) const
{
    // Empty components are skipped, which normalises the path on the way.
    uint hash = ROOT_HASH;
    bool bHasComponent = false;
    const char16_t* p = absolutePath.utf16();
    const char16_t* const pEnd = p + absolutePath.size();
    while (p != pEnd)
    {
        if (*p == u'/')
        {
            ++p;
            continue;
        }
        bHasComponent = true;
        quint64 state = Mix(hash, u'/');
        for (; pEnd - p >= 4 && !HasSlash(ReadWord(p)); p += 4)
            state = Mix(state, ReadWord(p));
        const char16_t* const pTail = p;
        while (p != pEnd && *p != u'/')
            ++p;
        if (p != pTail)
            state = Mix(state, ReadTail(pTail, p));
        hash = Fold(state);
    }
    if (!bHasComponent)
        return pRoot;
    if (m_nCount == 0)
        return nullptr;
    for (size_t i = Home(hash); m_aSlots[i].pItem != nullptr; i = (i + 1) & Mask())
    {
        if (m_aSlots[i].hash == hash && IsAt(m_aSlots[i].pItem, absolutePath))
            return m_aSlots[i].pItem;
    }
    return nullptr;
}

bool PathIndex::IsAt(const ValueBase* pItem, QStringView absolutePath)
{
    // Matches the names up the parent chain against the path from its end:
    // each name must end where the previous one began (slashes skipped) and
    // start right after a "/" or at the start of the path.
    const char16_t* const pPath = absolutePath.utf16();
    qsizetype nEnd = absolutePath.size();
    for (const ValueBase* pAt = pItem; pAt->GetParent() != nullptr; pAt = pAt->GetParent())
    {
        while (nEnd > 0 && pPath[nEnd - 1] == u'/')
            --nEnd;
        const QString& name = pAt->GetName();
        const qsizetype nStart = nEnd - name.size();
        if (nStart < 0 || (nStart > 0 && pPath[nStart - 1] != u'/') ||
            std::memcmp(pPath + nStart, name.utf16(), static_cast<size_t>(name.size()) * sizeof(char16_t)) != 0)
            return false;
        nEnd = nStart;
    }
    while (nEnd > 0 && pPath[nEnd - 1] == u'/')
        --nEnd;
    return nEnd == 0;
}

ValueBase* PathIndex::FindChild(const Node* pParent, QStringView name) const
{
    if (m_nCount == 0)
        return nullptr;
    const uint hash = ChildHash(pParent->m_nPathHash, name);
    for (size_t i = Home(hash); m_aSlots[i].pItem != nullptr; i = (i + 1) & Mask())
    {
        const ValueBase* pItem = m_aSlots[i].pItem;
        if (m_aSlots[i].hash == hash && pItem->GetParent() == pParent && QStringView(pItem->GetName()) == name)
            return m_aSlots[i].pItem;
    }
    return nullptr;
}

void PathIndex::Insert(ValueBase* pItem)
{
    if (static_cast<size_t>(m_nCount + 1) * 2 > m_aSlots.size())
        Grow();
    size_t i = Home(pItem->m_nPathHash);
    while (m_aSlots[i].pItem != nullptr)
        i = (i + 1) & Mask();
    m_aSlots[i] = {pItem->m_nPathHash, pItem};
    ++m_nCount;
}

void PathIndex::Remove(const ValueBase* pItem)
{
    if (m_nCount == 0)
        return;
    size_t i = Home(pItem->m_nPathHash);
    while (m_aSlots[i].pItem != pItem)
    {
        if (m_aSlots[i].pItem == nullptr)
            return;
        i = (i + 1) & Mask();
    }
    // Backward-shift deletion: pull later entries of the probe run into the
    // hole unless their home slot lies cyclically after the hole.
    for (size_t j = (i + 1) & Mask(); m_aSlots[j].pItem != nullptr; j = (j + 1) & Mask())
    {
        const size_t nHome = Home(m_aSlots[j].hash);
        const bool bStays = i <= j ? (i < nHome && nHome <= j) : (i < nHome || nHome <= j);
        if (!bStays)
        {
            m_aSlots[i] = m_aSlots[j];
            i = j;
        }
    }
    m_aSlots[i] = {0, nullptr};
    --m_nCount;
}

void PathIndex::Clear()
{
    m_aSlots = std::vector<Slot>();
    m_nCount = 0;
}

void PathIndex::Grow()
{
    std::vector<Slot> aOld(std::max<size_t>(16, m_aSlots.size() * 2), Slot{0, nullptr});
    aOld.swap(m_aSlots);
    for (const Slot& slot : aOld)
    {
        if (slot.pItem == nullptr)
            continue;
        size_t i = Home(slot.hash);
        while (m_aSlots[i].pItem != nullptr)
            i = (i + 1) & Mask();
        m_aSlots[i] = slot;
    }
}

}
