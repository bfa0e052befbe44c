// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include <QFlags>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "orv/frontend/formstorage/storedproperties.h"
#include "platform/registrystore.h"

class QListWidget;
class QWidget;

namespace orv::frontend {

enum class TPlacementOption { fpState = 0x1, fpPosition = 0x2 };
Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPlacementOptions)

// Remembers a window's placement and a list of its control properties in one section
// (key) of the settings store, below the base key IniFileName (normally
// "SOFTWARE\Orvane" under HKEY_CURRENT_USER).
//
// Hooking into the window: the first storage made for a window installs one event filter
// on it that serves all its storages in the order they were made (declaration order).
// On show the storages load, last-made first, before the window's own showEvent runs. On
// close the window's own closeEvent runs first; if it accepts, the storages save,
// first-made first. Destruction cannot be seen early enough from outside (the controls
// are gone by the time QObject::destroyed fires), so a window's destructor calls
// TFormStorage::formDestroying(this) first thing; that saves every Active storage that
// was loaded and has not saved since.
//
// Errors of automatic loads and saves go to the error handler (by default the log);
// calls made by code return them.
//
// Each SaveSettings is one file write of the store. Code that saves many storages at once
// (program end, when every window is destroyed) holds a platform::RegistryStore::Batch
// around them, so that all of them together cost one write.
class TFormStorage : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kDefaultIniFileName = "SOFTWARE\\Orvane";

    // The storage becomes a child of form and chains itself into its show and close.
    TFormStorage(QWidget *form, platform::RegistryStore &store);
    ~TFormStorage() override;

    QString IniFileName() const { return m_iniFileName; }
    void setIniFileName(const QString &keyPath) { m_iniFileName = keyPath; }
    // Later operations use a new section; nothing is moved or copied.
    QString IniSection() const { return m_iniSection; }
    void setIniSection(const QString &section) { m_iniSection = section; }
    bool UseRegistry() const { return m_useRegistry; }
    void setUseRegistry(bool use) { m_useRegistry = use; }
    TPlacementOptions Options() const { return m_options; }
    void setOptions(TPlacementOptions options) { m_options = options; }
    bool Active() const { return m_active; }
    void setActive(bool active) { m_active = active; }
    int Version() const { return m_version; }
    void setVersion(int version) { m_version = version; }

    // "Component.Property" items, resolved against the window's children (by objectName)
    // when set: items without both halves or naming a missing component are dropped.
    QStringList StoredProps() const;
    void setStoredProps(const QStringList &items);

    // The table that binds property names to controls; by default PropertyTable::standard().
    void setPropertyTable(std::shared_ptr<const PropertyTable> table);

    // Links a check list: its check states are saved and loaded with this storage under
    // "<section>\<window class><list name>".
    void linkCheckList(QListWidget *list);

    platform::Status SaveSettings();
    platform::Status LoadSettings();
    platform::Result<QString> ReadValue(const QString &name, const QString &defaultValue) const;
    platform::Status WriteValue(const QString &name, const QString &value);
    platform::Result<int> ReadIntValue(const QString &name, int defaultValue) const;
    platform::Status WriteIntValue(const QString &name, int value);
    // Deletes the key with that path below the root (callers pass IniFileName, a backslash
    // and a section) with all its sub-keys; a missing key is no error.
    platform::Status DeleteSection(const QString &keyPath);
    // Writes the whole tree below IniFileName as a REGEDIT4 file.
    platform::Status ExportSettings(const QString &fileName);

    bool isRestored() const { return m_restored; }
    bool isSaved() const { return m_saved; }
    bool isDestroying() const { return m_destroying; }

    QWidget *form() const { return m_form; }
    // The key of the current section, "<IniFileName>\<IniSection>".
    QString sectionKey() const;

    void setErrorHandler(std::function<void(const QString &)> handler) { m_errorHandler = std::move(handler); }
    // The settings store's own words for the last failure behind an error of this storage
    // (the file that could not be locked or written); the error itself names the key or value.
    QString lastFailureCause() const { return m_lastFailureCause; }

    // For the window's destructor: saves each Active storage of the form that was loaded
    // and has not saved since, last-made first. Safe to call more than once.
    static void formDestroying(QWidget *form);

signals:
    void OnSavePlacement(orv::frontend::TFormStorage *sender);
    void OnRestorePlacement(orv::frontend::TFormStorage *sender);

private:
    friend class FormStorageChain;

    struct StoredItem
    {
        QString text; // the item as given
        QString component;
        QString property;
        QPointer<QObject> object;
        QString itemName() const { return component + u'_' + property; }
    };

    void saveOnDestroy();
    void loadAutomatically();
    void saveAutomatically();
    void reportError(const platform::Status &status) const;

    platform::Status ensureBaseKey() const;
    QString keyFor(const QString &section) const;
    QString subSectionKey(const StoredItem &item) const;
    QString checkListKey(const QListWidget *list) const;
    platform::Status writeIn(const QString &key, const QString &name, const QString &value);
    platform::Result<QString> readIn(const QString &key, const QString &name, const QString &defaultValue) const;

    platform::Status savePlacement();
    platform::Status loadPlacement();
    platform::Status saveProperty(const StoredItem &item);
    platform::Status loadProperty(const StoredItem &item);
    const PropertyBinding *bindingFor(const StoredItem &item, std::optional<PropertyBinding> &adHoc) const;
    std::optional<QString> scalarText(const ScalarBinding &binding, const QObject *object) const;
    void applyScalarText(const ScalarBinding &binding, QObject *object, const QString &text) const;

    QWidget *m_form;
    platform::RegistryStore &m_store;
    std::shared_ptr<const PropertyTable> m_table;
    QString m_iniFileName = QString::fromLatin1(kDefaultIniFileName);
    QString m_iniSection;
    bool m_useRegistry = true;
    TPlacementOptions m_options = TPlacementOption::fpState | TPlacementOption::fpPosition;
    bool m_active = true;
    int m_version = 0;
    QList<StoredItem> m_items;
    QList<QPointer<QListWidget>> m_checkLists;
    bool m_restored = false;
    bool m_saved = false;
    bool m_destroying = false;
    std::function<void(const QString &)> m_errorHandler;
    mutable QString m_lastFailureCause;
};

} // namespace orv::frontend
