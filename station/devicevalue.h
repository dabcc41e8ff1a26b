#pragma once

#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuedescriptor.h"

#include <QString>

/// The value of type T that the descriptor names below the device node, or
/// null when it is missing or of another type.
template <class T>
T* DeviceValue(const QString& devicePath, const values::ValueDescriptor& descriptor)
{
    return values::Tree::Instance()->Find<T>(devicePath + descriptor.PathName());
}
