#pragma once

#include "kvthost_export.h"

#include <QString>

namespace values
{
class Node;
}

namespace StdDeviceDefinition
{

/// Builders for parts of the standard device tree.
class KVTHOST_EXPORT StdDeviceTree
{
public:
    /// Creates, below the device node `basePath`, every value of
    /// GetDeviceDescriptors() that is not there yet (and the configuration
    /// node). Returns the device node, or null when the path cannot hold one.
    /// The descriptor base path is left at `basePath`.
    static values::Node* Device(const QString& basePath);

    /// The antenna node builder.
    class KVTHOST_EXPORT Ant
    {
    public:
        /// Inserts a new antenna node (descriptor g_vdNodeAnt, named "Ant<n>"
        /// with the smallest free n) with every antenna member at its default
        /// into `pParent` (the configuration node), and sets the descriptor
        /// base path to the new node's path. Null for a null parent; a detached
        /// parent takes the node as well (the path is then its detached one).
        static values::Node* InsertChild(values::Node* pParent);
    };
};

}
