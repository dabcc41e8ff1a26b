#include "valueframework/valueclasses/valuedescriptor.h"

#include "valueframework/valueclasses/selitemdesc.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valueselection.h"

namespace values
{

namespace
{
QString& BasePath()
{
    static QString s_strBasePath;
    return s_strBasePath;
}
}

ValueDescriptor::ValueDescriptor(const char* pathName, Factory factory, const SelItemDesc* items, int itemCount)
    : m_strPathName(QString::fromUtf8(pathName))
    , m_pFactory(factory)
    , m_pItems(items)
    , m_nItemCount(itemCount)
{
}

QString ValueDescriptor::GetName() const
{
    return m_strPathName.mid(m_strPathName.lastIndexOf(QLatin1Char('/')) + 1);
}

std::unique_ptr<ValueBase> ValueDescriptor::CreateDetached() const
{
    std::unique_ptr<ValueBase> pValue = m_pFactory();
    pValue->SetName(GetName());
    pValue->SetValueDescriptor(this);
    SelItemDesc::AddItems(m_pItems, m_nItemCount, dynamic_cast<ValueSelection*>(pValue.get()));
    return pValue;
}

ValueBase* ValueDescriptor::Create(IObserver* pObserver) const
{
    Tree* pTree = Tree::Instance();
    const QString strPath = GetBasePath() + m_strPathName;
    ValueBase* pValue = pTree->FindValue(strPath);
    if (pValue == nullptr)
        pValue = pTree->InsertValueAt(strPath, CreateDetached());
    if (pValue != nullptr && pObserver != nullptr)
        pValue->AddObserver(pObserver);
    return pValue;
}

void ValueDescriptor::SetBasePath(const QString& basePath)
{
    BasePath() = basePath;
}

QString ValueDescriptor::GetBasePath()
{
    return BasePath();
}

}
