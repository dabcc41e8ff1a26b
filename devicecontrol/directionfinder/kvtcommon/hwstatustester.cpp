#include "devicecontrol/directionfinder/kvtcommon/hwstatustester.h"

#include "base/icfg.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueobservermacros.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

namespace
{

const QString KEY_REQUIRED = QStringLiteral("HwRequiredComponents");
const QString KEY_OPTIONAL = QStringLiteral("HwOptionalComponents");
const QString KEY_EDITABLE = QStringLiteral("HwRequirementsEditable");
const QString KEY_CHECK = QStringLiteral("HwCheckRequirements");

// Field of a device-information entry that names the component (0-based).
const int COMPONENT_FIELD = 3;

HwStatusTester::ComponentSet Difference(const HwStatusTester::ComponentSet& a, const HwStatusTester::ComponentSet& b)
{
    HwStatusTester::ComponentSet result;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(result, result.end()));
    return result;
}

} // namespace

HwStatusTester::HwStatusTester(const QString& basePath)
    : m_strBasePath(basePath)
{
}

HwStatusTester::~HwStatusTester() = default;

void HwStatusTester::ReadHwRequirementsFromTree()
{
    using namespace StdDeviceDefinition;
    m_lstRequired = String2HwSet(values::CreateValue<values::Value<QString>>(m_strBasePath, g_vdDevRequiredComponents)->GetValue());
    m_lstOptional = String2HwSet(values::CreateValue<values::Value<QString>>(m_strBasePath, g_vdDevOptionalComponents)->GetValue());
    m_bRequirementsEditable = values::CreateValue<values::Value<bool>>(m_strBasePath, g_vdDevRequirementsEditable)->GetValue();
    m_bCheckRequirements = values::CreateValue<values::Value<bool>>(m_strBasePath, g_vdDevCheckRequirements)->GetValue();
}

void HwStatusTester::WriteHwRequirementsToTree() const
{
    using namespace StdDeviceDefinition;
    values::CreateValue<values::Value<QString>>(m_strBasePath, g_vdDevRequiredComponents)->SetValue(HwSet2String(m_lstRequired));
    values::CreateValue<values::Value<QString>>(m_strBasePath, g_vdDevOptionalComponents)->SetValue(HwSet2String(m_lstOptional));
    values::CreateValue<values::Value<bool>>(m_strBasePath, g_vdDevRequirementsEditable)->SetValue(m_bRequirementsEditable);
    values::CreateValue<values::Value<bool>>(m_strBasePath, g_vdDevCheckRequirements)->SetValue(m_bCheckRequirements);
}

void HwStatusTester::ReadHwRequirementsFromCfg(ICfg* pCfg)
{
    if (pCfg == nullptr)
        return;
    m_lstRequired = String2HwSet(pCfg->GetString(KEY_REQUIRED, QString(), 0));
    m_lstOptional = String2HwSet(pCfg->GetString(KEY_OPTIONAL, QString(), 0));
    m_bRequirementsEditable = pCfg->GetBool(KEY_EDITABLE, true, 0);
    m_bCheckRequirements = pCfg->GetBool(KEY_CHECK, false, 0);
}

void HwStatusTester::WriteHwRequirementsToCfg(ICfg* pCfg) const
{
    if (pCfg == nullptr)
        return;
    pCfg->SetString(KEY_REQUIRED, HwSet2String(m_lstRequired), 0);
    pCfg->SetReadOnly(KEY_REQUIRED, !m_bRequirementsEditable, 0);
    pCfg->SetString(KEY_OPTIONAL, HwSet2String(m_lstOptional), 0);
    pCfg->SetReadOnly(KEY_OPTIONAL, !m_bRequirementsEditable, 0);
    pCfg->SetBool(KEY_EDITABLE, m_bRequirementsEditable, 0);
    pCfg->SetReadOnly(KEY_EDITABLE, true, 0);
    pCfg->SetBool(KEY_CHECK, m_bCheckRequirements, 0);
    pCfg->SetReadOnly(KEY_CHECK, !m_bRequirementsEditable, 0);
}

void HwStatusTester::ReadHwListFromTree()
{
    ReadHwListFromValue(values::CreateValue<values::ValueSelection>(m_strBasePath, StdDeviceDefinition::g_vdDevInfo));
}

void HwStatusTester::ReadHwListFromValue(values::ValueSelection* pDevInfo)
{
    if (pDevInfo == nullptr)
        return;
    m_lstPresent.clear();
    for (int i = 0; i < pDevInfo->GetItemCount(); ++i)
    {
        const QString strName = pDevInfo->GetItem(i)->GetName();
        if (strName.startsWith(QLatin1String(">>")) || strName.startsWith(QLatin1String("Option")))
            continue;
        const QStringList lstFields = strName.split(QLatin1Char(';'));
        if (lstFields.size() > COMPONENT_FIELD)
            m_lstPresent.insert(lstFields.at(COMPONENT_FIELD));
    }
}

bool HwStatusTester::AreRequirementsEditable() const
{
    return m_bRequirementsEditable;
}

void HwStatusTester::SetRequirementsEditable(bool bEditable)
{
    m_bRequirementsEditable = bEditable;
}

bool HwStatusTester::GetCheckRequirements() const
{
    return m_bCheckRequirements;
}

void HwStatusTester::SetCheckRequirements(bool bCheck)
{
    m_bCheckRequirements = bCheck;
}

HwStatusTester::ComponentSet HwStatusTester::FindMissingRequiredHardware() const
{
    return Difference(m_lstRequired, m_lstPresent);
}

HwStatusTester::ComponentSet HwStatusTester::FindUnknownHardware() const
{
    return Difference(Difference(m_lstPresent, m_lstRequired), m_lstOptional);
}

HwStatusTester::ComponentSet HwStatusTester::GetAllComponents() const
{
    ComponentSet all = m_lstPresent;
    all.insert(m_lstRequired.begin(), m_lstRequired.end());
    all.insert(m_lstOptional.begin(), m_lstOptional.end());
    return all;
}

void HwStatusTester::SetRequiredComponents(ComponentSet components)
{
    m_lstRequired = std::move(components);
}

void HwStatusTester::SetOptionalComponents(ComponentSet components)
{
    m_lstOptional = std::move(components);
}

HwStatusTester::HwComponentState HwStatusTester::GetComponentState(const QString& name) const
{
    const bool bPresent = m_lstPresent.count(name) > 0;
    if (m_lstRequired.count(name) > 0)
        return bPresent ? eRequiredPresent : eRequiredMissing;
    if (m_lstOptional.count(name) > 0)
        return bPresent ? eOptionalPresent : eOptionalMissing;
    return eUnknown;
}

QString HwStatusTester::HwSet2String(ComponentSet components)
{
    return QStringList(components.begin(), components.end()).join(QLatin1Char(';'));
}

HwStatusTester::ComponentSet HwStatusTester::String2HwSet(const QString& text)
{
    const QStringList lstPieces = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return ComponentSet(lstPieces.begin(), lstPieces.end());
}
