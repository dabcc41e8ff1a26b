#include "valueframework/valueclasses/pathindex.h"

#include "valueframework/valueclasses/node.h"

#include <QtAlgorithms>

#include <cstring>


namespace values
{

namespace
{
// Both path hashes read the absolute path "/A/B" as a stream of 64-bit words
// (four UTF-16 units each, counted from the start of the path) and end with
// one word holding the up to three units left over and, in the top unit, the
// low 16 bits of the path's length; with the length, the words decode back
// into the path. The placing hash is multiply-xorshift, the checking hash
// add-multiply-xorshift with other constants and seed. Every round of either
// is invertible in the word and in the state: two paths that differ in one
// word never collide, and an item's stream state can be recovered from its
// hashes, so that a child continues its parent's stream.
constexpr quint64 PLACE_SEED = 0x2545f4914f6cdd1dull;
constexpr quint64 CHECK_SEED = 0x6a09e667f3bcc909ull;
constexpr quint64 PLACE_MULTIPLIER = 0x9e3779b97f4a7c15ull;
constexpr quint64 CHECK_MULTIPLIER = 0xff51afd7ed558ccdull;
constexpr quint64 LANE_LOW = 0x7fff7fff7fff7fffull;
constexpr quint64 LANE_TOP = 0x8000800080008000ull;
constexpr quint64 SLASHES = 0x002f002f002f002full;

// The inverse of an odd multiplier modulo 2^64 (Newton's iteration).
constexpr quint64 Inverse(quint64 nOdd)
{
    quint64 x = nOdd;
    for (int i = 0; i < 5; ++i)
        x *= 2 - nOdd * x;
    return x;
}

struct Hashes
{
    quint64 nPlace;
    quint64 nCheck;

    void Mix(quint64 word)
    {
        nPlace = (nPlace ^ word) * PLACE_MULTIPLIER;
        nPlace ^= nPlace >> 29;
        nCheck = (nCheck + word) * CHECK_MULTIPLIER;
        nCheck ^= nCheck >> 32;
    }

    void Unmix(quint64 word)
    {
        nPlace ^= (nPlace >> 29) ^ (nPlace >> 58);
        nPlace = (nPlace * Inverse(PLACE_MULTIPLIER)) ^ word;
        nCheck ^= nCheck >> 32;
        nCheck = nCheck * Inverse(CHECK_MULTIPLIER) - word;
    }
};

inline uint Fold(quint64 hash)
{
    return static_cast<uint>(hash ^ (hash >> 32));
}

inline quint64 LastWord(quint64 pending, quint16 nLength)
{
    return pending | quint64(nLength) << 48;
}

// The path stream one unit at a time: for names, and for paths that are not
// in their plain form "/A/B".
class Stream
{
public:
    explicit Stream(Hashes hashes = {PLACE_SEED, CHECK_SEED})
        : m_hashes(hashes)
    {
    }
    /// Continues the stream of an item: `pItem` and its ancestors give the
    /// units left over after its last full word.
    static Stream After(const ValueBase* pItem, Hashes hashes, quint16 nLength)
    {
        Stream stream(hashes);
        const int nPending = nLength % 4;
        const char16_t* p = nullptr;
        qsizetype nLeft = 0; // units of the current item's name not yet taken, from its end
        for (int nUnit = nPending - 1; nUnit >= 0; --nUnit)
        {
            char16_t unit = u'/';
            if (p == nullptr)
            {
                p = QStringView(pItem->GetName()).utf16();
                nLeft = pItem->GetName().size();
            }
            if (nLeft > 0)
                unit = p[--nLeft];
            else
            {
                pItem = pItem->GetParent();
                p = nullptr;
            }
            stream.m_nPending |= quint64(unit) << (16 * nUnit);
        }
        stream.m_nUnits = nPending;
        stream.m_nLength = nLength;
        stream.m_hashes.Unmix(LastWord(stream.m_nPending, nLength));
        return stream;
    }

    void Add(char16_t unit)
    {
        m_nPending |= quint64(unit) << (16 * m_nUnits);
        ++m_nLength;
        if (++m_nUnits == 4)
        {
            m_hashes.Mix(m_nPending);
            m_nPending = 0;
            m_nUnits = 0;
        }
    }
    void AddName(QStringView name)
    {
        Add(u'/');
        for (const QChar unit : name)
            Add(unit.unicode());
    }
    Hashes Result() const
    {
        Hashes hashes = m_hashes;
        hashes.Mix(LastWord(m_nPending, m_nLength));
        return hashes;
    }
    quint16 Length() const { return m_nLength; }

private:
    Hashes m_hashes;
    quint64 m_nPending = 0;
    int m_nUnits = 0;
    quint16 m_nLength = 0;
};

inline quint64 ReadWord(const char16_t* p)
{
    quint64 word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The top bit of every unit of the word that is "/".
inline quint64 SlashBits(quint64 word)
{
    const quint64 x = word ^ SLASHES;
    return ~(((x & LANE_LOW) + LANE_LOW) | x) & LANE_TOP;
}

bool HasName(const ValueBase* pItem, const char16_t* pName, qsizetype nSize)
{
    const QString& name = pItem->GetName();
    return name.size() == nSize &&
           std::memcmp(QStringView(name).utf16(), pName, static_cast<size_t>(nSize) * sizeof(char16_t)) == 0;
}

// The last name of a path.
struct Leaf
{
    const char16_t* p = nullptr;
    qsizetype nSize = 0;
};

// The hashes of a path in its plain form (a "/" before every name, no empty
// names), read a word at a time; false when the path is shorter than a word
// or not plain.
bool HashPlainPath(const char16_t* const pStart, const char16_t* const pEnd, Hashes& rHashes)
{
    const qsizetype nLength = pEnd - pStart;
    if (nLength < 4 || pStart[0] != u'/' || pEnd[-1] == u'/')
        return false;
    Hashes hashes{PLACE_SEED, CHECK_SEED};
    quint64 nDoubled = 0; // a unit is "/" after a "/"
    quint64 nSlashes = 0;
    const char16_t* p = pStart;
    for (; pEnd - p >= 4; p += 4)
    {
        const quint64 word = ReadWord(p);
        nDoubled |= SlashBits(word) & ((SlashBits(word) << 16) | (nSlashes >> 48));
        nSlashes = SlashBits(word);
        hashes.Mix(word);
    }
    quint64 pending = 0;
    if (p != pEnd)
    {
        // The last four units, overlapping the last full word.
        const quint64 word = ReadWord(pEnd - 4);
        nDoubled |= SlashBits(word) & (SlashBits(word) << 16);
        pending = word >> (16 * (4 - (pEnd - p)));
    }
    if (nDoubled != 0)
        return false;
    hashes.Mix(LastWord(pending, static_cast<quint16>(nLength)));
    rHashes = hashes;
    return true;
}

// The last name of a plain path, which starts with "/". Only a candidate
// needs it: a miss never looks for it.
Leaf PlainLeaf(const char16_t* const pStart, const char16_t* const pEnd)
{
    const char16_t* pLeaf = pEnd;
    for (; pLeaf - pStart >= 4; pLeaf -= 4)
    {
        const quint64 slashes = SlashBits(ReadWord(pLeaf - 4));
        if (slashes != 0)
        {
            pLeaf += (63 - static_cast<int>(qCountLeadingZeroBits(slashes))) / 16 - 3;
            break;
        }
    }
    while (pLeaf[-1] != u'/')
        --pLeaf;
    return {pLeaf, pEnd - pLeaf};
}

// The same for any path: empty names are skipped, so "//A/B/" hashes as
// "/A/B". No leaf for a path without a name.
void HashAnyPath(const char16_t* p, const char16_t* const pEnd, Hashes& rHashes, Leaf& rLeaf)
{
    Stream stream;
    rLeaf = Leaf();
    while (p != pEnd)
    {
        if (*p == u'/')
        {
            ++p;
            continue;
        }
        const char16_t* const pName = p;
        stream.Add(u'/');
        for (; p != pEnd && *p != u'/'; ++p)
            stream.Add(*p);
        rLeaf = {pName, p - pName};
    }
    rHashes = stream.Result();
}
}

void PathIndex::HashRoot(ValueBase* pRoot)
{
    const Hashes hashes = Stream().Result();
    pRoot->m_nPathHash = hashes.nPlace;
    pRoot->m_nPathCheck = hashes.nCheck;
    pRoot->m_nPathLength = 0;
}

void PathIndex::HashFromParent(ValueBase* pItem)
{
    const ValueBase* pParent = pItem->GetParent();
    Stream stream = Stream::After(pParent, {pParent->m_nPathHash, pParent->m_nPathCheck}, pParent->m_nPathLength);
    stream.AddName(pItem->GetName());
    const Hashes hashes = stream.Result();
    pItem->m_nPathHash = hashes.nPlace;
    pItem->m_nPathCheck = hashes.nCheck;
    pItem->m_nPathLength = stream.Length();
}

size_t PathIndex::Home(uint hash) const
{
    // Spreads the folded hash over the table before masking (the MurmurHash3
    // finaliser).
    hash ^= hash >> 16;
    hash *= 0x85ebca6bu;
    hash ^= hash >> 13;
    hash *= 0xc2b2ae35u;
    hash ^= hash >> 16;
    return hash & Mask();
}

ValueBase* PathIndex::Find(ValueBase* pRoot, QStringView absolutePath) const
{
    const char16_t* const pStart = absolutePath.utf16();
    const char16_t* const pEnd = pStart + absolutePath.size();
    Hashes hashes{0, 0};
    Leaf leaf;
    if (!HashPlainPath(pStart, pEnd, hashes))
    {
        HashAnyPath(pStart, pEnd, hashes, leaf);
        if (leaf.p == nullptr)
            return pRoot;
    }
    if (m_nCount == 0)
        return nullptr;
    const uint nFolded = Fold(hashes.nPlace);
    for (size_t i = Home(nFolded); m_aSlots[i].pItem != nullptr; i = (i + 1) & Mask())
    {
        ValueBase* pItem = m_aSlots[i].pItem;
        if (m_aSlots[i].hash != nFolded || pItem->m_nPathHash != hashes.nPlace || pItem->m_nPathCheck != hashes.nCheck)
            continue;
        if (leaf.p == nullptr)
            leaf = PlainLeaf(pStart, pEnd);
        if (HasName(pItem, leaf.p, leaf.nSize))
            return pItem;
    }
    return nullptr;
}

ValueBase* PathIndex::FindChild(const Node* pParent, QStringView name) const
{
    if (m_nCount == 0)
        return nullptr;
    Stream stream = Stream::After(pParent, {pParent->m_nPathHash, pParent->m_nPathCheck}, pParent->m_nPathLength);
    stream.AddName(name);
    const uint nFolded = Fold(stream.Result().nPlace);
    for (size_t i = Home(nFolded); m_aSlots[i].pItem != nullptr; i = (i + 1) & Mask())
    {
        const ValueBase* pItem = m_aSlots[i].pItem;
        if (m_aSlots[i].hash == nFolded && pItem->GetParent() == pParent && HasName(pItem, name.utf16(), name.size()))
            return m_aSlots[i].pItem;
    }
    return nullptr;
}

void PathIndex::Insert(ValueBase* pItem)
{
    if (static_cast<size_t>(m_nCount + 1) * 2 > m_aSlots.size())
        Grow();
    const uint nFolded = Fold(pItem->m_nPathHash);
    size_t i = Home(nFolded);
    while (m_aSlots[i].pItem != nullptr)
        i = (i + 1) & Mask();
    m_aSlots[i] = {nFolded, pItem};
    ++m_nCount;
}

void PathIndex::Remove(const ValueBase* pItem)
{
    if (m_nCount == 0)
        return;
    size_t i = Home(Fold(pItem->m_nPathHash));
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
