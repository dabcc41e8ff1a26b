#pragma once

#include "kvthost_export.h"

#include <QString>

namespace values
{

/// One entry of a ValueSelection: display name, numeric value and key.
class KVTHOST_EXPORT SelectionItem
{
public:
    SelectionItem(const QString& name = QString(), double value = 0.0, int key = 0)
        : m_strName(name)
        , m_fValue(value)
        , m_nKey(key)
    {
    }

    QString GetName() const { return m_strName; }
    double GetValue() const { return m_fValue; }
    int GetKey() const { return m_nKey; }

    bool operator==(const SelectionItem& other) const
    {
        return m_strName == other.m_strName && m_fValue == other.m_fValue && m_nKey == other.m_nKey;
    }

private:
    QString m_strName;
    double m_fValue;
    int m_nKey;
};

}
