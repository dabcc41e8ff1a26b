#pragma once

#include "kvtcommon_export.h"

#include "devicecontrol/directionfinder/kvtcommon/antennanodemembers.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"

#include <QString>

#include <vector>

class AntennaData;
class AntennaDataList;

namespace StdDeviceDefinition
{
class StdAdapter;
}

namespace values
{
class Node;
}

/// Moves an antenna setup between an AntennaDataList and the antenna nodes of
/// the value tree: below the device node `path`, the configuration node
/// (StdDeviceDefinition::g_vdNodeCfg) holds one antenna node
/// (g_vdNodeAnt) per record, in list order.
///
/// Every operation first sets the descriptor base path to `path` and makes
/// sure the configuration node exists; when no node can be had there (a value
/// stands in its way) it throws ARException "Could not create node according
/// to value descriptor %1." (function "CreateNode"). Node members that are
/// missing or of another type leave the record member as it is; the node
/// adapter traces them as "_GETVALUE <member> failed - ignored".
///
/// Reading keeps the antenna nodes and their members as it found them and
/// uses them again while the path and the tree's structure
/// (values::Tree::GetStructureCount) stay the same: a refresh then reads the
/// values without looking a member up. With traces on, every read looks its
/// members up again, so that each missing one is traced each time.
///
/// Single-threaded: runs on the value tree's thread.
class KVTCOMMON_EXPORT AntennaDataListVtAccess
{
public:
    /// Makes the list one record per antenna node, in tree order, each read
    /// from the defaults up; returns the number of records read. When the
    /// counts already match, the records are refilled in place (pointers to
    /// them stay valid); otherwise the list is cleared and filled anew.
    int ReadAntennasFromValueTree(AntennaDataList& list, const QString& path) const;
    /// Node k (counting antenna nodes only) updates record k when name and
    /// frequency span match exactly; everything but name, handle and span is
    /// taken over. A node without its record is skipped with a warning trace.
    /// Returns the number of records updated.
    int UpdateAntennasFromValueTree(AntennaDataList& list, const QString& path) const;
    /// Replaces all antenna nodes by one new node per record, in list order;
    /// the descriptor base path is restored afterwards.
    void WriteAntennasToValueTree(const AntennaDataList& list, const QString& path) const;
    /// Removes every antenna node below the configuration node; other children stay.
    void DeleteAllAntennasFromValueTree(const QString& path) const;

private:
    static values::Node* LocateCfgNode(const QString& path);
    /// The antenna nodes below `path`, in tree order, with their members.
    const std::vector<AntennaNodeMembers>& FindAntennaNodes(const QString& path) const;
    void WriteNode(const StdDeviceDefinition::StdAdapter& adapter, const AntennaData& antenna) const;

    KVTCharacteristicsTools m_characteristicsTools;
    /// What FindAntennaNodes found last, for m_strNodesPath at m_nNodesStructure.
    mutable std::vector<AntennaNodeMembers> m_lstNodes;
    mutable QString m_strNodesPath;
    mutable quint64 m_nNodesStructure = 0;
    mutable bool m_bNodesKept = false;
};
