#include "valueframework/valueclasses/pathindex.h"

#include "valueframework/valueclasses/node.h"

#include <QtAlgorithms>

#include <cstring>


namespace values
{

namespace
{
// The path hash reads the absolute path "/A/B" as a stream of 64-bit words
// (four UTF-16 units each, counted from the start of the path) and ends with
// one word holding the up to three units left over and, in the top unit, the
// low 16 bits of the path's length; with the length, the words decode back
// into the path. Even words go to one lane (multiply-xorshift), odd words to
// another (add-multiply-xorshift with other constants and seed), so that the two
// multiply chains run side by side over a path instead of one after the
// other. Every round of either lane is invertible in the word and in the
// state: two paths that differ in one word never collide, and an item's
// stream state can be recovered from its hashes, so that a child continues
// its parent's stream.
constexpr quint64 EVEN_SEED = 0x2545f4914f6cdd1dull;
constexpr quint64 ODD_SEED = 0x6a09e667f3bcc909ull;
constexpr quint64 EVEN_MULTIPLIER = 0x9e3779b97f4a7c15ull;
constexpr quint64 ODD_MULTIPLIER = 0xff51afd7ed558ccdull;
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

inline void MixEven(quint64& rState, quint64 word)
{
    rState = (rState ^ word) * EVEN_MULTIPLIER;
    rState ^= rState >> 29;
}

inline void MixOdd(quint64& rState, quint64 word)
{
    rState = (rState + word) * ODD_MULTIPLIER;
    rState ^= rState >> 29;
}

struct Hashes
{
    quint64 nEven = EVEN_SEED;
    quint64 nOdd = ODD_SEED;

    /// Word `nWord` of the stream (counted from 0).
    void Mix(int nWord, quint64 word)
    {
        if (nWord % 2 == 0)
            MixEven(nEven, word);
        else
            MixOdd(nOdd, word);
    }

    void Unmix(int nWord, quint64 word)
    {
        if (nWord % 2 == 0)
        {
            nEven ^= (nEven >> 29) ^ (nEven >> 58);
            nEven = (nEven * Inverse(EVEN_MULTIPLIER)) ^ word;
        }
        else
        {
            nOdd ^= (nOdd >> 29) ^ (nOdd >> 58);
            nOdd = nOdd * Inverse(ODD_MULTIPLIER) - word;
        }
    }

    /// The table's 32 bits, masked as they are. Both lanes end in a shift by
    /// 29 that brings the product's top bits, which depend on every bit of
    /// the state and the word, down into the half they are folded onto (a
    /// shift by 32 would cancel them), so every bit of the fold is mixed.
    uint Folded() const
    {
        const quint64 both = nEven ^ nOdd;
        return static_cast<uint>(both ^ (both >> 32));
    }
};

inline quint64 LastWord(quint64 pending, quint16 nLength)
{
    return pending | quint64(nLength) << 48;
}

// The path stream one unit at a time: for names, and for paths that are not
// in their plain form "/A/B".
class Stream
{
public:
    explicit Stream(Hashes hashes = {})
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
        stream.m_hashes.Unmix(nLength / 4, LastWord(stream.m_nPending, nLength));
        return stream;
    }

    void Add(char16_t unit)
    {
        m_nPending |= quint64(unit) << (16 * m_nUnits);
        ++m_nLength;
        if (++m_nUnits == 4)
        {
            m_hashes.Mix(m_nLength / 4 - 1, m_nPending);
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
        hashes.Mix(m_nLength / 4, LastWord(m_nPending, m_nLength));
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

// The hashes of a path of at least four units, read a word at a time as it
// stands; for a plain path (a "/" before every name, no empty names) they are
// the hashes of the item it names. The two lanes take a word each per round.
Hashes HashWords(const char16_t* const pStart, const char16_t* const pEnd)
{
    Hashes hashes;
    const char16_t* p = pStart;
    for (; pEnd - p >= 8; p += 8)
    {
        MixEven(hashes.nEven, ReadWord(p));
        MixOdd(hashes.nOdd, ReadWord(p + 4));
    }
    if (pEnd - p >= 4)
    {
        MixEven(hashes.nEven, ReadWord(p));
        p += 4;
    }
    const qsizetype nLength = pEnd - pStart;
    // The units left over, taken from the last four units of the path.
    const quint64 pending = p == pEnd ? 0 : ReadWord(pEnd - 4) >> (16 * (4 - (pEnd - p)));
    hashes.Mix(static_cast<int>(nLength / 4), LastWord(pending, static_cast<quint16>(nLength)));
    return hashes;
}

// Whether a path of at least four units is plain.
bool IsPlain(const char16_t* const pStart, const char16_t* const pEnd)
{
    if (pStart[0] != u'/' || pEnd[-1] == u'/')
        return false;
    quint64 nDoubled = 0; // a unit is "/" after a "/"
    quint64 nSlashes = 0;
    const char16_t* p = pStart;
    for (; pEnd - p >= 4; p += 4)
    {
        const quint64 slashes = SlashBits(ReadWord(p));
        nDoubled |= slashes & ((slashes << 16) | (nSlashes >> 48));
        nSlashes = slashes;
    }
    if (p != pEnd)
    {
        // The last four units, overlapping the last full word.
        const quint64 slashes = SlashBits(ReadWord(pEnd - 4));
        nDoubled |= slashes & (slashes << 16);
    }
    return nDoubled == 0;
}

// The units after the last "/" of a path of at least four units (all of them
// when there is none). Only a candidate needs it: a miss never looks for it.
Leaf LastName(const char16_t* const pStart, const char16_t* const pEnd)
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
    while (pLeaf != pStart && pLeaf[-1] != u'/')
        --pLeaf;
    return {pLeaf, pEnd - pLeaf};
}

// The hashes of any path, a unit at a time: empty names are skipped, so
// "//A/B/" hashes as "/A/B". No leaf for a path without a name.
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
    pRoot->m_nPathEven = hashes.nEven;
    pRoot->m_nPathOdd = hashes.nOdd;
    pRoot->m_nPathLength = 0;
}

void PathIndex::HashFromParent(ValueBase* pItem)
{
    const ValueBase* pParent = pItem->GetParent();
    Stream stream = Stream::After(pParent, {pParent->m_nPathEven, pParent->m_nPathOdd}, pParent->m_nPathLength);
    stream.AddName(pItem->GetName());
    const Hashes hashes = stream.Result();
    pItem->m_nPathEven = hashes.nEven;
    pItem->m_nPathOdd = hashes.nOdd;
    pItem->m_nPathLength = stream.Length();
}

uint PathIndex::Folded(const ValueBase* pItem)
{
    return Hashes{pItem->m_nPathEven, pItem->m_nPathOdd}.Folded();
}

ValueBase* PathIndex::Find(ValueBase* pRoot, QStringView absolutePath) const
{
    const char16_t* const pStart = absolutePath.utf16();
    const char16_t* const pEnd = pStart + absolutePath.size();
    // `leaf` is looked for only once a candidate agrees in both hashes.
    auto probe = [this](const Hashes& hashes, auto leafOf) -> ValueBase* {
        if (m_nCount == 0)
            return nullptr;
        const uint nFolded = hashes.Folded();
        for (size_t i = Home(nFolded); m_aSlots[i].pItem != nullptr; i = (i + 1) & Mask())
        {
            ValueBase* pItem = m_aSlots[i].pItem;
            if (m_aSlots[i].hash != nFolded || pItem->m_nPathEven != hashes.nEven || pItem->m_nPathOdd != hashes.nOdd)
                continue;
            const Leaf leaf = leafOf();
            if (HasName(pItem, leaf.p, leaf.nSize))
                return pItem;
        }
        return nullptr;
    };
    // Paths are nearly always plain: they are hashed as they stand and only
    // a miss asks whether another form was meant.
    if (pEnd - pStart >= 4)
    {
        if (ValueBase* pItem = probe(HashWords(pStart, pEnd), [&] { return LastName(pStart, pEnd); }))
            return pItem;
        if (IsPlain(pStart, pEnd))
            return nullptr;
    }
    Hashes hashes;
    Leaf leaf;
    HashAnyPath(pStart, pEnd, hashes, leaf);
    if (leaf.p == nullptr)
        return pRoot;
    return probe(hashes, [leaf] { return leaf; });
}

ValueBase* PathIndex::FindChild(const Node* pParent, QStringView name) const
{
    if (m_nCount == 0)
        return nullptr;
    Stream stream = Stream::After(pParent, {pParent->m_nPathEven, pParent->m_nPathOdd}, pParent->m_nPathLength);
    stream.AddName(name);
    const uint nFolded = stream.Result().Folded();
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
    const uint nFolded = Folded(pItem);
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
    size_t i = Home(Folded(pItem));
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
