#pragma once

#include "kvthost_export.h"

#include <QString>

namespace values
{

/// Four doubles, for example a display filter range entry
/// (first extent, second extent, gap start, gap end).
class KVTHOST_EXPORT QuadFloat
{
public:
    QuadFloat(double f1 = 0.0, double f2 = 0.0, double f3 = 0.0, double f4 = 0.0)
        : m_f1(f1)
        , m_f2(f2)
        , m_f3(f3)
        , m_f4(f4)
    {
    }

    double GetFloat1() const { return m_f1; }
    double GetFloat2() const { return m_f2; }
    double GetFloat3() const { return m_f3; }
    double GetFloat4() const { return m_f4; }
    void SetFloat1(double f) { m_f1 = f; }
    void SetFloat2(double f) { m_f2 = f; }
    void SetFloat3(double f) { m_f3 = f; }
    void SetFloat4(double f) { m_f4 = f; }

    bool operator==(const QuadFloat& other) const
    {
        return m_f1 == other.m_f1 && m_f2 == other.m_f2 && m_f3 == other.m_f3 && m_f4 == other.m_f4;
    }

    /// "f1;f2;f3;f4" with 17 significant digits each.
    QString ToString() const;
    /// False, and `rValue` untouched, unless the text holds four numbers.
    static bool FromString(const QString& text, QuadFloat& rValue);

private:
    double m_f1;
    double m_f2;
    double m_f3;
    double m_f4;
};

}
