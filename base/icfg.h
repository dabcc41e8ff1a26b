#pragma once

#include "kvthost_export.h"

#include <QString>
#include <QStringList>

/// One section of a configuration. Sections of the same configuration share
/// one in-memory document, so a change through one handle is seen at once
/// through every other handle; changes reach the configuration's file when
/// the last handle on it is released (the rule is in cfgcenter.h).
///
/// Keys are plain texts (any characters; "/" inside a key is an ordinary character).
/// Values are stored as text: GetInt/GetBool return the default when the stored
/// text is not a number / not a boolean ("true"/"false", "1"/"0", "yes"/"no").
/// An empty key is never stored: getters return the default, setters do nothing.
/// The trailing int argument of the get and set operations is reserved (pass 0).
///
/// Not thread-safe: use all handles of one configuration on one thread.
/// The order of the virtual operations is part of the binary contract with
/// separately built modules; append new operations at the end only.
class KVTHOST_EXPORT ICfg
{
public:
    /// The configuration layer. The store keeps one file per configuration
    /// name and view; other numbers than these are accepted as well.
    enum View
    {
        Default = 0,
        User = 1,
        Application = 2,
        Station = 5
    };

    /// Opens the sub-section at path below this section; "/" separates nested
    /// sections, empty components are ignored, missing sections are created.
    /// The caller owns the result. A sub-section belongs to the same file as
    /// this section whatever view is given. Null for a path without components.
    virtual ICfg* GetSubCfg(const QString& path, View view) = 0;
    virtual QString GetString(const QString& key, const QString& def, int reserved) = 0;
    virtual int GetInt(const QString& key, int def, int reserved) = 0;
    virtual bool GetBool(const QString& key, bool def, int reserved) = 0;
    /// Locks (true) or unlocks (false) a key against editing in configuration
    /// editors; stored persistently. The setters below still write locked keys.
    /// No effect on a key that does not exist.
    virtual void SetReadOnly(const QString& key, bool readOnly, int reserved) = 0;
    virtual void SetString(const QString& key, const QString& value, int reserved) = 0;
    virtual void SetInt(const QString& key, int value, int reserved) = 0;
    virtual void SetBool(const QString& key, bool value, int reserved) = 0;
    virtual ~ICfg();

    /// Whether the key exists in this section.
    virtual bool Contains(const QString& key) const = 0;
    virtual bool IsReadOnly(const QString& key) const = 0;
    /// The keys of this section, sorted.
    virtual QStringList GetKeys() const = 0;
    /// The names of the direct sub-sections, sorted.
    virtual QStringList GetSubCfgNames() const = 0;
    /// Removes a key of this section; false when it did not exist.
    virtual bool RemoveKey(const QString& key) = 0;
    /// The file that holds this section.
    virtual QString GetFileName() const = 0;
};
