// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "orv/frontend/formstorage/scalarcodec.h"

// How the settings storage reads and writes the properties its windows list as
// "Component.Property": an explicit table of getters and setters keyed by widget class
// and property name. Windows with their own kinds of controls add entries to a copy of
// the standard table and hand it to their storages.
namespace orv::frontend {

// One scalar: its stored type and how to get and set it on an object. Component
// references travel as QObject* inside the QVariant.
struct ScalarBinding
{
    ScalarFormat format;
    std::function<QVariant(const QObject *)> get;
    std::function<void(QObject *, const QVariant &)> set;
};

// A list of text lines (combo box items, list items, text lines).
struct StringListBinding
{
    std::function<QStringList(const QObject *)> get;
    std::function<void(QObject *, const QStringList &)> set;
};

// One property of every item of a collection.
struct CollectionItemBinding
{
    QString name;
    ScalarFormat format;
    std::function<QVariant(const QObject *, int)> get;
    std::function<void(QObject *, int, const QVariant &)> set;
};

// A collection of items with the same properties (list-view columns).
struct CollectionBinding
{
    std::function<int(const QObject *)> count;
    // Empties the collection and fills it with that many new items.
    std::function<void(QObject *, int)> recreate;
    QList<CollectionItemBinding> itemProperties;
};

// An object-valued property stored as its own scalars (a font).
struct ObjectBinding
{
    QList<std::pair<QString, ScalarBinding>> properties;
};

struct PropertyBinding
{
    enum class Kind { Scalar, StringList, Collection, Object };
    Kind kind = Kind::Scalar;
    ScalarBinding scalar;
    StringListBinding lines;
    CollectionBinding collection;
    ObjectBinding object;

    static PropertyBinding ofScalar(ScalarBinding b);
    static PropertyBinding ofLines(StringListBinding b);
    static PropertyBinding ofCollection(CollectionBinding b);
    static PropertyBinding ofObject(ObjectBinding b);
};

class PropertyTable
{
public:
    // Entries for the Qt widgets the program's windows use:
    //   any object:  "Tag" (dynamic property "Tag"), "ViewStyle" (the object's property
    //                "ViewStyle", an int: vsIcon, vsSmallIcon, vsList, vsReport),
    //                "SmallImages"/"LargeImages" (component references kept as dynamic
    //                properties, see setComponentReference)
    //   QWidget:     "Enabled", "Height", "Width", "Font"
    //   QAction:     "Checked", "Enabled"
    //   QAbstractButton: "Checked", "Down" (the checked state of a checkable button)
    //   QLineEdit:   "Text";  QSpinBox: "Value"
    //   QComboBox:   "Text", "ItemIndex", "Items"
    //   QListWidget: "ItemIndex", "Items"; QPlainTextEdit: "Items", "Lines"
    //   QStackedWidget, QTabWidget: "PageIndex"
    //   QTreeView, QTableView (QTreeWidget too): "Columns"
    // A property no entry covers falls back to a Qt property of that name on the object
    // (declared or dynamic) when its value is an int, bool, string or string list.
    static PropertyTable standard();

    // Adds or replaces the entry for objects of that class (and classes derived from it).
    void add(const QByteArray &className, const QString &propertyName, PropertyBinding binding);

    // The entry of the most derived class of the object that has one; names compare
    // without regard to case. nullptr when there is none.
    const PropertyBinding *find(const QObject *object, QStringView propertyName) const;

private:
    QHash<QByteArray, QHash<QString, PropertyBinding>> m_entries;
};

// A binding made on the spot for a Qt property of the object (see PropertyTable::standard);
// nullopt when the object has no such property or its type is not storable.
std::optional<PropertyBinding> qtPropertyBinding(const QObject *object, const QString &propertyName);

// Component references ("SmallImages" -> an image list) kept on the holding object.
void setComponentReference(QObject *holder, const char *propertyName, QObject *target);
QObject *componentReference(const QObject *holder, const char *propertyName);

// The text a component reference is stored as, seen from the window form: "(null)", the
// component's name, or for a component of another window "<owner>.<name>" where an owner
// without a name gives its class name without the leading "T".
QString componentReferenceText(const QObject *target, const QObject *form);
// The reverse: "(null)" and names that are not found give nullptr.
QObject *resolveComponentReference(QStringView text, const QObject *form);

// A class name without namespaces ("orv::frontend::TServersForm" -> "TServersForm").
QString plainClassName(const QObject *object);

} // namespace orv::frontend
