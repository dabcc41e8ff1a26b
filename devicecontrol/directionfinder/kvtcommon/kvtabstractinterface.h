#pragma once

#include "kvtcommon_export.h"

#include <QObject>
#include <QString>

class QWidget;

/// Common base of the output interfaces (named, configurable sinks for DF
/// results). The base only keeps the name, address, configuration path,
/// enabled flag and a borrowed pointer to the settings widget; concrete
/// interfaces start and stop their output and own their widget.
///
/// The virtual operations keep a fixed slot order because separately built
/// modules derive from this class: do not reorder or insert virtuals.
/// Single-threaded: use an interface on the thread that owns it.
class KVTCOMMON_EXPORT KVTAbstractInterface : public QObject
{
    Q_OBJECT

public:
    /// Creates a disabled interface with the given unique name.
    explicit KVTAbstractInterface(const QString& name);
    ~KVTAbstractInterface() override;

    /// Stores the configuration location handed in by the host.
    virtual void SetConfigPath(const QString& path);
    /// Starts (true) or stops (false) the output of the concrete interface.
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled();
    /// The settings widget; null when none exists or after it was destroyed.
    virtual QWidget* GetConfigWidget();
    virtual const QString GetName();

public slots:
    /// Forgets the settings widget when it announces its destruction; any
    /// other object is ignored. Concrete interfaces connect their widget's
    /// destroyed(QObject*) signal here, so a widget deleted by its parent
    /// dialogue is never used or deleted again.
    void SlotOnConfigWidgetDestroyed(QObject* pObj);
    /// Makes the concrete interface take over the values its widget shows.
    virtual void SlotUpdateConfiguration() = 0;

protected:
    virtual void SetAddress(const QString& address);
    virtual const QString GetAddress();

    /// Built and owned by the concrete interface (or the dialogue it was
    /// given to); the base never creates or deletes it.
    QWidget* m_pConfigWidget = nullptr;
    QString m_strConfigPath;
    QString m_strAddress;
    QString m_strName;
    bool m_bEnabled = false;
};
