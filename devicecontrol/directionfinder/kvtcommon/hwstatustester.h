#pragma once

#include "kvtcommon_export.h"

#include <QString>

#include <set>

class ICfg;

namespace values
{
class ValueSelection;
}

/// Compares the hardware components a DF device reports with the components
/// the installation requires or allows, and names what is missing or unknown.
///
/// The requirements (required and optional components, whether they may be
/// edited, whether the host checks them) live below the device's base path in
/// the value tree ("…/DevAttr/RequiredComponents" and neighbours, created when
/// missing; a value of another type there makes the host's ARException "Wrong
/// type assumed for …" pass through) and can be copied to and from a
/// configuration section ("HwRequiredComponents", "HwOptionalComponents",
/// "HwRequirementsEditable", "HwCheckRequirements").
///
/// A component set is stored as its names in ascending order joined by ";";
/// reading such a text skips empty pieces and keeps blanks inside names.
/// The reported components come from the device-information list: of each
/// entry "a;b;c;<component>;…" the fourth field, except for entries beginning
/// with ">>" or "Option".
///
/// The queries work on what was last read or set; nothing is read implicitly.
/// Single-threaded, like the value tree.
class KVTCOMMON_EXPORT HwStatusTester
{
public:
    /// Component names, ordered by QString's operator<, each once.
    using ComponentSet = std::set<QString>;

    enum HwComponentState
    {
        eRequiredMissing = 0,
        eRequiredPresent = 1,
        eOptionalPresent = 2,
        eOptionalMissing = 3,
        eUnknown = 4
    };

    explicit HwStatusTester(const QString& basePath = QString());
    HwStatusTester(const HwStatusTester&) = default;
    HwStatusTester& operator=(const HwStatusTester&) = default;
    virtual ~HwStatusTester();

    /// Required, optional, editable and check from the tree below the base path.
    virtual void ReadHwRequirementsFromTree();
    /// The four requirement values of the tree from this object (no sender).
    virtual void WriteHwRequirementsToTree() const;
    /// The requirements from the section's keys (defaults "", "", true,
    /// false); nothing is written back. Null is ignored.
    virtual void ReadHwRequirementsFromCfg(ICfg* pCfg);
    /// Writes the four keys; the component keys and "HwCheckRequirements" are
    /// locked exactly when the requirements are not editable,
    /// "HwRequirementsEditable" always. Null is ignored.
    virtual void WriteHwRequirementsToCfg(ICfg* pCfg) const;
    /// The reported components from the device-information list below the
    /// base path (created empty when missing, like the requirement values).
    virtual void ReadHwListFromTree();
    /// The reported components from a device-information list; null is ignored.
    virtual void ReadHwListFromValue(values::ValueSelection* pDevInfo);
    virtual bool AreRequirementsEditable() const;
    virtual void SetRequirementsEditable(bool bEditable);
    virtual bool GetCheckRequirements() const;
    virtual void SetCheckRequirements(bool bCheck);
    /// Required and not reported.
    virtual ComponentSet FindMissingRequiredHardware() const;
    /// Reported, but neither required nor optional.
    virtual ComponentSet FindUnknownHardware() const;
    /// Reported, required or optional.
    virtual ComponentSet GetAllComponents() const;
    virtual void SetRequiredComponents(ComponentSet components);
    virtual void SetOptionalComponents(ComponentSet components);

    /// A name that is both required and optional counts as required.
    HwComponentState GetComponentState(const QString& name) const;

private:
    static QString HwSet2String(ComponentSet components);
    static ComponentSet String2HwSet(const QString& text);

    QString m_strBasePath;
    ComponentSet m_lstPresent;
    ComponentSet m_lstRequired;
    ComponentSet m_lstOptional;
    bool m_bRequirementsEditable = true;
    bool m_bCheckRequirements = false;
};
