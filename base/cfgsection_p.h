#pragma once

#include "base/icfg.h"

#include <memory>

class CfgDocument;

/// A handle on one section of a shared configuration document. Handles are
/// cheap; any number may be open on the same section at once. A counted
/// handle belongs to a change set: the document saves when the last counted
/// handle on it is released (see cfgcenter.h). Sub-sections are counted.
class CfgSection : public ICfg
{
public:
    CfgSection(std::shared_ptr<CfgDocument> document, const QString& path, bool bCounted);
    ~CfgSection() override;
    CfgSection(const CfgSection&) = delete;
    CfgSection& operator=(const CfgSection&) = delete;

    CfgDocument& GetDocument() const { return *m_pDocument; }

    ICfg* GetSubCfg(const QString& path, View view) override;
    QString GetString(const QString& key, const QString& def, int reserved) override;
    int GetInt(const QString& key, int def, int reserved) override;
    bool GetBool(const QString& key, bool def, int reserved) override;
    void SetReadOnly(const QString& key, bool readOnly, int reserved) override;
    void SetString(const QString& key, const QString& value, int reserved) override;
    void SetInt(const QString& key, int value, int reserved) override;
    void SetBool(const QString& key, bool value, int reserved) override;

    bool Contains(const QString& key) const override;
    bool IsReadOnly(const QString& key) const override;
    QStringList GetKeys() const override;
    QStringList GetSubCfgNames() const override;
    bool RemoveKey(const QString& key) override;
    QString GetFileName() const override;

private:
    std::shared_ptr<CfgDocument> m_pDocument;
    QString m_strPath;
    bool m_bCounted;
};
