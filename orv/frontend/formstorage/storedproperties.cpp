// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/formstorage/storedproperties.h"

#include <cmath>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QTreeWidget>
#include <QWidget>

namespace orv::frontend {

namespace {

// A font colour that follows the system ("clWindowText"), as stored by the original
// settings; any negative colour means "the system's".
constexpr qint64 kSystemTextColor = -16777208;
constexpr int kDefaultCharset = 1;
constexpr const char *kColumnExtras = "ColumnExtras";

template <typename T> const T *as(const QObject *o)
{
    return qobject_cast<const T *>(o);
}

template <typename T> T *as(QObject *o)
{
    return qobject_cast<T *>(o);
}

ScalarBinding scalar(ScalarFormat format, std::function<QVariant(const QObject *)> get,
                     std::function<void(QObject *, const QVariant &)> set)
{
    return ScalarBinding{std::move(format), std::move(get), std::move(set)};
}

QStringList plainTextLines(const QPlainTextEdit *edit)
{
    const QString text = edit->toPlainText();
    if (text.isEmpty())
        return {};
    return text.split(u'\n');
}

bool listIsCheckList(const QListWidget *list)
{
    if (list->property("CheckList").toBool())
        return true;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->flags() & Qt::ItemIsUserCheckable)
            return true;
    return false;
}

void setListLines(QListWidget *list, const QStringList &lines)
{
    const bool checkable = listIsCheckList(list);
    list->clear();
    for (const QString &line : lines) {
        auto *item = new QListWidgetItem(line, list);
        if (checkable) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    }
}

// Font ------------------------------------------------------------------------------

int fontPixelsPerInch(const QWidget *w)
{
    const int dpi = w->logicalDpiY();
    return dpi > 0 ? dpi : 96;
}

int fontPointSize(const QWidget *w)
{
    const QFont f = w->font();
    if (f.pointSize() > 0)
        return f.pointSize();
    return int(std::lround(f.pixelSize() * 72.0 / fontPixelsPerInch(w)));
}

qint64 fontColor(const QWidget *w)
{
    const QPalette &p = w->palette();
    if (!p.isBrushSet(QPalette::Active, QPalette::WindowText) && !p.isBrushSet(QPalette::Active, QPalette::Text))
        return kSystemTextColor;
    const QColor c = p.color(QPalette::Text);
    // The colour as a Windows COLORREF: 0x00BBGGRR.
    return qint64(c.red()) | qint64(c.green()) << 8 | qint64(c.blue()) << 16;
}

void setFontColor(QWidget *w, qint64 value)
{
    QPalette p = w->palette();
    if (value < 0) {
        // Back to the colour the widget inherits: drop the text roles from the palette's
        // own settings (one resolve bit per colour group and role).
        QPalette::ResolveMask mask = p.resolveMask();
        for (int group = 0; group < QPalette::NColorGroups; ++group)
            for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText})
                mask &= ~(QPalette::ResolveMask(1) << (group * QPalette::NColorRoles + role));
        p.setResolveMask(mask);
        w->setPalette(p);
        return;
    }
    const QColor c(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}

ObjectBinding fontBinding()
{
    ObjectBinding b;
    const auto widget = [](const QObject *o) { return as<QWidget>(o); };
    b.properties.append({QStringLiteral("Charset"),
                         scalar(
                             ScalarFormat::integer(),
                             [](const QObject *o) {
                                 const QVariant v = o->property("FontCharset");
                                 return QVariant(v.isValid() ? v.toInt() : kDefaultCharset);
                             },
                             [](QObject *o, const QVariant &v) { o->setProperty("FontCharset", v.toInt()); })});
    b.properties.append(
        {QStringLiteral("Color"),
         scalar(
             ScalarFormat::integer(), [widget](const QObject *o) { return QVariant(fontColor(widget(o))); },
             [](QObject *o, const QVariant &v) { setFontColor(as<QWidget>(o), v.toLongLong()); })});
    b.properties.append({QStringLiteral("Height"),
                         scalar(
                             ScalarFormat::integer(),
                             [widget](const QObject *o) {
                                 const QWidget *w = widget(o);
                                 return QVariant(
                                     -int(std::lround(fontPointSize(w) * double(fontPixelsPerInch(w)) / 72.0)));
                             },
                             [](QObject *o, const QVariant &v) {
                                 QWidget *w = as<QWidget>(o);
                                 const int height = std::abs(v.toInt());
                                 if (height == 0)
                                     return;
                                 QFont f = w->font();
                                 f.setPointSize(qMax(1, int(std::lround(height * 72.0 / fontPixelsPerInch(w)))));
                                 w->setFont(f);
                             })});
    b.properties.append(
        {QStringLiteral("Name"),
         scalar(
             ScalarFormat::string(), [widget](const QObject *o) { return QVariant(widget(o)->font().family()); },
             [](QObject *o, const QVariant &v) {
                 QWidget *w = as<QWidget>(o);
                 if (v.toString().isEmpty())
                     return;
                 QFont f = w->font();
                 f.setFamily(v.toString());
                 w->setFont(f);
             })});
    b.properties.append({QStringLiteral("Pitch"),
                         scalar(
                             ScalarFormat::enumeration({QStringLiteral("fpDefault"), QStringLiteral("fpVariable"),
                                                        QStringLiteral("fpFixed")}),
                             [widget](const QObject *o) { return QVariant(widget(o)->font().fixedPitch() ? 2 : 0); },
                             [](QObject *o, const QVariant &v) {
                                 QWidget *w = as<QWidget>(o);
                                 QFont f = w->font();
                                 f.setFixedPitch(v.toInt() == 2);
                                 w->setFont(f);
                             })});
    b.properties.append(
        {QStringLiteral("Size"),
         scalar(
             ScalarFormat::integer(), [widget](const QObject *o) { return QVariant(fontPointSize(widget(o))); },
             [](QObject *o, const QVariant &v) {
                 QWidget *w = as<QWidget>(o);
                 const int size = v.toInt();
                 // A negative size is a height in pixels.
                 if (size == 0)
                     return;
                 QFont f = w->font();
                 if (size > 0)
                     f.setPointSize(size);
                 else
                     f.setPixelSize(-size);
                 w->setFont(f);
             })});
    b.properties.append(
        {QStringLiteral("Style"), scalar(
                                      ScalarFormat::set({QStringLiteral("fsBold"), QStringLiteral("fsItalic"),
                                                         QStringLiteral("fsUnderline"), QStringLiteral("fsStrikeOut")}),
                                      [widget](const QObject *o) {
                                          const QFont f = widget(o)->font();
                                          quint64 mask = 0;
                                          if (f.bold())
                                              mask |= 1;
                                          if (f.italic())
                                              mask |= 2;
                                          if (f.underline())
                                              mask |= 4;
                                          if (f.strikeOut())
                                              mask |= 8;
                                          return QVariant(mask);
                                      },
                                      [](QObject *o, const QVariant &v) {
                                          QWidget *w = as<QWidget>(o);
                                          const quint64 mask = v.toULongLong();
                                          QFont f = w->font();
                                          f.setBold(mask & 1);
                                          f.setItalic(mask & 2);
                                          f.setUnderline(mask & 4);
                                          f.setStrikeOut(mask & 8);
                                          w->setFont(f);
                                      })});
    return b;
}

// Columns ---------------------------------------------------------------------------

QHeaderView *columnHeader(const QObject *o)
{
    if (const auto *tree = as<QTreeView>(o))
        return tree->header();
    if (const auto *table = as<QTableView>(o))
        return table->horizontalHeader();
    return nullptr;
}

QAbstractItemModel *columnModel(const QObject *o)
{
    const auto *view = as<QAbstractItemView>(o);
    return view ? view->model() : nullptr;
}

QVariant columnExtra(const QObject *o, int column, const QString &key, const QVariant &fallback)
{
    const QVariantList extras = o->property(kColumnExtras).toList();
    if (column < 0 || column >= extras.size())
        return fallback;
    return extras.at(column).toMap().value(key, fallback);
}

void setColumnExtra(QObject *o, int column, const QString &key, const QVariant &value)
{
    QVariantList extras = o->property(kColumnExtras).toList();
    while (extras.size() <= column)
        extras.append(QVariantMap());
    QVariantMap map = extras.at(column).toMap();
    map.insert(key, value);
    extras[column] = map;
    o->setProperty(kColumnExtras, extras);
}

CollectionItemBinding extraColumnProperty(const QString &name, ScalarFormat format, const QVariant &fallback)
{
    return CollectionItemBinding{
        name, std::move(format),
        [name, fallback](const QObject *o, int i) { return columnExtra(o, i, name, fallback); },
        [name](QObject *o, int i, const QVariant &v) { setColumnExtra(o, i, name, v); }};
}

CollectionBinding columnsBinding()
{
    CollectionBinding b;
    b.count = [](const QObject *o) {
        const QAbstractItemModel *model = columnModel(o);
        return model ? model->columnCount() : 0;
    };
    b.recreate = [](QObject *o, int n) {
        o->setProperty(kColumnExtras, QVariantList());
        if (auto *tree = as<QTreeWidget>(o)) {
            tree->setColumnCount(0);
            tree->setHeaderItem(new QTreeWidgetItem());
            tree->setColumnCount(n);
            return;
        }
        QAbstractItemModel *model = columnModel(o);
        if (!model)
            return;
        if (auto *standard = qobject_cast<QStandardItemModel *>(model)) {
            standard->setColumnCount(0);
            standard->setColumnCount(n);
            return;
        }
        if (model->columnCount() > 0)
            model->removeColumns(0, model->columnCount());
        if (n > 0)
            model->insertColumns(0, n);
    };
    const ScalarFormat alignment = ScalarFormat::enumeration(
        {QStringLiteral("taLeftJustify"), QStringLiteral("taRightJustify"), QStringLiteral("taCenter")});
    b.itemProperties.append(CollectionItemBinding{
        QStringLiteral("Alignment"), alignment,
        [](const QObject *o, int i) {
            const QAbstractItemModel *model = columnModel(o);
            const int a = model ? model->headerData(i, Qt::Horizontal, Qt::TextAlignmentRole).toInt() : 0;
            if (a & Qt::AlignRight)
                return QVariant(1);
            if (a & Qt::AlignHCenter)
                return QVariant(2);
            return QVariant(0);
        },
        [](QObject *o, int i, const QVariant &v) {
            if (QAbstractItemModel *model = columnModel(o)) {
                const int flags[] = {int(Qt::AlignLeft | Qt::AlignVCenter), int(Qt::AlignRight | Qt::AlignVCenter),
                                     int(Qt::AlignHCenter | Qt::AlignVCenter)};
                model->setHeaderData(i, Qt::Horizontal, flags[qBound(0, v.toInt(), 2)], Qt::TextAlignmentRole);
            }
        }});
    b.itemProperties.append(extraColumnProperty(QStringLiteral("AutoSize"), ScalarFormat::boolean(), 0));
    b.itemProperties.append(CollectionItemBinding{
        QStringLiteral("Caption"), ScalarFormat::string(),
        [](const QObject *o, int i) {
            const QAbstractItemModel *model = columnModel(o);
            return QVariant(model ? model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString() : QString());
        },
        [](QObject *o, int i, const QVariant &v) {
            if (QAbstractItemModel *model = columnModel(o))
                model->setHeaderData(i, Qt::Horizontal, v.toString(), Qt::DisplayRole);
        }});
    b.itemProperties.append(extraColumnProperty(QStringLiteral("ImageIndex"), ScalarFormat::integer(), -1));
    b.itemProperties.append(extraColumnProperty(QStringLiteral("MaxWidth"), ScalarFormat::integer(), 0));
    b.itemProperties.append(extraColumnProperty(QStringLiteral("MinWidth"), ScalarFormat::integer(), 0));
    b.itemProperties.append(extraColumnProperty(QStringLiteral("Tag"), ScalarFormat::integer(), 0));
    b.itemProperties.append(CollectionItemBinding{QStringLiteral("Width"), ScalarFormat::integer(),
                                                  [](const QObject *o, int i) {
                                                      const QHeaderView *header = columnHeader(o);
                                                      return QVariant(header ? header->sectionSize(i) : 0);
                                                  },
                                                  [](QObject *o, int i, const QVariant &v) {
                                                      if (QHeaderView *header = columnHeader(o);
                                                          header && v.toInt() >= 0)
                                                          header->resizeSection(i, v.toInt());
                                                  }});
    return b;
}

} // namespace

PropertyBinding PropertyBinding::ofScalar(ScalarBinding b)
{
    PropertyBinding p;
    p.kind = Kind::Scalar;
    p.scalar = std::move(b);
    return p;
}

PropertyBinding PropertyBinding::ofLines(StringListBinding b)
{
    PropertyBinding p;
    p.kind = Kind::StringList;
    p.lines = std::move(b);
    return p;
}

PropertyBinding PropertyBinding::ofCollection(CollectionBinding b)
{
    PropertyBinding p;
    p.kind = Kind::Collection;
    p.collection = std::move(b);
    return p;
}

PropertyBinding PropertyBinding::ofObject(ObjectBinding b)
{
    PropertyBinding p;
    p.kind = Kind::Object;
    p.object = std::move(b);
    return p;
}

void PropertyTable::add(const QByteArray &className, const QString &propertyName, PropertyBinding binding)
{
    m_entries[className].insert(propertyName.toCaseFolded(), std::move(binding));
}

const PropertyBinding *PropertyTable::find(const QObject *object, QStringView propertyName) const
{
    const QString key = propertyName.toString().toCaseFolded();
    for (const QMetaObject *mo = object->metaObject(); mo; mo = mo->superClass()) {
        const auto cls = m_entries.constFind(QByteArray(mo->className()));
        if (cls == m_entries.cend())
            continue;
        const auto entry = cls->constFind(key);
        if (entry != cls->cend())
            return &*entry;
    }
    return nullptr;
}

PropertyTable PropertyTable::standard()
{
    PropertyTable t;
    const ScalarFormat boolean = ScalarFormat::boolean();
    const ScalarFormat integer = ScalarFormat::integer();
    const ScalarFormat string = ScalarFormat::string();

    t.add("QObject", QStringLiteral("Tag"),
          PropertyBinding::ofScalar(scalar(
              integer, [](const QObject *o) { return QVariant(o->property("Tag").toLongLong()); },
              [](QObject *o, const QVariant &v) { o->setProperty("Tag", v.toLongLong()); })));
    t.add("QObject", QStringLiteral("ViewStyle"),
          PropertyBinding::ofScalar(scalar(
              ScalarFormat::enumeration({QStringLiteral("vsIcon"), QStringLiteral("vsSmallIcon"),
                                         QStringLiteral("vsList"), QStringLiteral("vsReport")}),
              [](const QObject *o) { return QVariant(o->property("ViewStyle").toInt()); },
              [](QObject *o, const QVariant &v) { o->setProperty("ViewStyle", v.toInt()); })));
    for (const char *name : {"SmallImages", "LargeImages"}) {
        t.add("QObject", QString::fromLatin1(name),
              PropertyBinding::ofScalar(scalar(
                  ScalarFormat{ScalarType::ComponentReference, {}, 15},
                  [name](const QObject *o) { return QVariant::fromValue(componentReference(o, name)); },
                  [name](QObject *o, const QVariant &v) { setComponentReference(o, name, v.value<QObject *>()); })));
    }

    t.add("QWidget", QStringLiteral("Enabled"),
          PropertyBinding::ofScalar(scalar(
              boolean,
              [](const QObject *o) { return QVariant(!as<QWidget>(o)->testAttribute(Qt::WA_ForceDisabled) ? 1 : 0); },
              [](QObject *o, const QVariant &v) { as<QWidget>(o)->setEnabled(v.toInt() == 1); })));
    t.add("QWidget", QStringLiteral("Height"),
          PropertyBinding::ofScalar(scalar(
              integer, [](const QObject *o) { return QVariant(as<QWidget>(o)->height()); },
              [](QObject *o, const QVariant &v) {
                  QWidget *w = as<QWidget>(o);
                  w->resize(w->width(), qMax(0, v.toInt()));
              })));
    t.add("QWidget", QStringLiteral("Width"),
          PropertyBinding::ofScalar(scalar(
              integer, [](const QObject *o) { return QVariant(as<QWidget>(o)->width()); },
              [](QObject *o, const QVariant &v) {
                  QWidget *w = as<QWidget>(o);
                  w->resize(qMax(0, v.toInt()), w->height());
              })));
    t.add("QWidget", QStringLiteral("Font"), PropertyBinding::ofObject(fontBinding()));

    t.add("QAction", QStringLiteral("Checked"),
          PropertyBinding::ofScalar(scalar(
              boolean, [](const QObject *o) { return QVariant(as<QAction>(o)->isChecked() ? 1 : 0); },
              [](QObject *o, const QVariant &v) { as<QAction>(o)->setChecked(v.toInt() == 1); })));
    t.add("QAction", QStringLiteral("Enabled"),
          PropertyBinding::ofScalar(scalar(
              boolean, [](const QObject *o) { return QVariant(as<QAction>(o)->isEnabled() ? 1 : 0); },
              [](QObject *o, const QVariant &v) { as<QAction>(o)->setEnabled(v.toInt() == 1); })));

    t.add("QAbstractButton", QStringLiteral("Checked"),
          PropertyBinding::ofScalar(scalar(
              boolean, [](const QObject *o) { return QVariant(as<QAbstractButton>(o)->isChecked() ? 1 : 0); },
              [](QObject *o, const QVariant &v) { as<QAbstractButton>(o)->setChecked(v.toInt() == 1); })));
    t.add("QAbstractButton", QStringLiteral("Down"),
          PropertyBinding::ofScalar(scalar(
              boolean,
              [](const QObject *o) {
                  const auto *b = as<QAbstractButton>(o);
                  return QVariant((b->isCheckable() ? b->isChecked() : b->isDown()) ? 1 : 0);
              },
              [](QObject *o, const QVariant &v) {
                  auto *b = as<QAbstractButton>(o);
                  if (b->isCheckable())
                      b->setChecked(v.toInt() == 1);
                  else
                      b->setDown(v.toInt() == 1);
              })));

    t.add("QLineEdit", QStringLiteral("Text"),
          PropertyBinding::ofScalar(scalar(
              string, [](const QObject *o) { return QVariant(as<QLineEdit>(o)->text()); },
              [](QObject *o, const QVariant &v) { as<QLineEdit>(o)->setText(v.toString()); })));
    t.add("QSpinBox", QStringLiteral("Value"),
          PropertyBinding::ofScalar(scalar(
              integer, [](const QObject *o) { return QVariant(as<QSpinBox>(o)->value()); },
              [](QObject *o, const QVariant &v) { as<QSpinBox>(o)->setValue(int(v.toLongLong())); })));

    t.add("QComboBox", QStringLiteral("Text"),
          PropertyBinding::ofScalar(scalar(
              string, [](const QObject *o) { return QVariant(as<QComboBox>(o)->currentText()); },
              [](QObject *o, const QVariant &v) {
                  auto *combo = as<QComboBox>(o);
                  if (combo->isEditable())
                      combo->setEditText(v.toString());
                  else
                      combo->setCurrentIndex(combo->findText(v.toString(), Qt::MatchFixedString));
              })));
    t.add("QComboBox", QStringLiteral("ItemIndex"),
          PropertyBinding::ofScalar(scalar(
              integer, [](const QObject *o) { return QVariant(as<QComboBox>(o)->currentIndex()); },
              [](QObject *o, const QVariant &v) {
                  auto *combo = as<QComboBox>(o);
                  const int index = int(v.toLongLong());
                  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
              })));
    t.add("QComboBox", QStringLiteral("Items"),
          PropertyBinding::ofLines(StringListBinding{[](const QObject *o) {
                                                         const auto *combo = as<QComboBox>(o);
                                                         QStringList lines;
                                                         for (int i = 0; i < combo->count(); ++i)
                                                             lines.append(combo->itemText(i));
                                                         return lines;
                                                     },
                                                     [](QObject *o, const QStringList &lines) {
                                                         auto *combo = as<QComboBox>(o);
                                                         // Replacing the items must not change the typed text of an
                                                         // editable box.
                                                         const QString text = combo->currentText();
                                                         combo->clear();
                                                         combo->addItems(lines);
                                                         if (combo->isEditable())
                                                             combo->setEditText(text);
                                                     }}));

    t.add("QListWidget", QStringLiteral("ItemIndex"),
          PropertyBinding::ofScalar(scalar(
              integer, [](const QObject *o) { return QVariant(as<QListWidget>(o)->currentRow()); },
              [](QObject *o, const QVariant &v) {
                  auto *list = as<QListWidget>(o);
                  const int index = int(v.toLongLong());
                  list->setCurrentRow(index >= 0 && index < list->count() ? index : -1);
              })));
    t.add("QListWidget", QStringLiteral("Items"),
          PropertyBinding::ofLines(StringListBinding{
              [](const QObject *o) {
                  const auto *list = as<QListWidget>(o);
                  QStringList lines;
                  for (int i = 0; i < list->count(); ++i)
                      lines.append(list->item(i)->text());
                  return lines;
              },
              [](QObject *o, const QStringList &lines) { setListLines(as<QListWidget>(o), lines); }}));

    const StringListBinding plainLines{
        [](const QObject *o) { return plainTextLines(as<QPlainTextEdit>(o)); },
        [](QObject *o, const QStringList &lines) { as<QPlainTextEdit>(o)->setPlainText(lines.join(u'\n')); }};
    t.add("QPlainTextEdit", QStringLiteral("Items"), PropertyBinding::ofLines(plainLines));
    t.add("QPlainTextEdit", QStringLiteral("Lines"), PropertyBinding::ofLines(plainLines));

    t.add("QStackedWidget", QStringLiteral("PageIndex"),
          PropertyBinding::ofScalar(scalar(
              integer, [](const QObject *o) { return QVariant(as<QStackedWidget>(o)->currentIndex()); },
              [](QObject *o, const QVariant &v) { as<QStackedWidget>(o)->setCurrentIndex(int(v.toLongLong())); })));
    t.add("QTabWidget", QStringLiteral("PageIndex"),
          PropertyBinding::ofScalar(scalar(
              integer, [](const QObject *o) { return QVariant(as<QTabWidget>(o)->currentIndex()); },
              [](QObject *o, const QVariant &v) { as<QTabWidget>(o)->setCurrentIndex(int(v.toLongLong())); })));

    t.add("QTreeView", QStringLiteral("Columns"), PropertyBinding::ofCollection(columnsBinding()));
    t.add("QTableView", QStringLiteral("Columns"), PropertyBinding::ofCollection(columnsBinding()));
    return t;
}

std::optional<PropertyBinding> qtPropertyBinding(const QObject *object, const QString &propertyName)
{
    const QByteArray name = propertyName.toLatin1();
    const QVariant value = object->property(name.constData());
    if (!value.isValid())
        return std::nullopt;
    const auto set = [name](QObject *o, const QVariant &v) { o->setProperty(name.constData(), v); };
    switch (value.typeId()) {
    case QMetaType::Bool:
        return PropertyBinding::ofScalar(scalar(
            ScalarFormat::boolean(),
            [name](const QObject *o) { return QVariant(o->property(name.constData()).toBool() ? 1 : 0); },
            [name](QObject *o, const QVariant &v) { o->setProperty(name.constData(), v.toInt() == 1); }));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return PropertyBinding::ofScalar(scalar(
            ScalarFormat::integer(),
            [name](const QObject *o) { return QVariant(o->property(name.constData()).toLongLong()); },
            [name, type = value.metaType()](QObject *o, const QVariant &v) {
                QVariant converted = v;
                converted.convert(type);
                o->setProperty(name.constData(), converted);
            }));
    case QMetaType::QString:
        return PropertyBinding::ofScalar(scalar(
            ScalarFormat::string(), [name](const QObject *o) { return o->property(name.constData()); }, set));
    case QMetaType::QStringList:
        return PropertyBinding::ofLines(StringListBinding{
            [name](const QObject *o) { return o->property(name.constData()).toStringList(); },
            [name](QObject *o, const QStringList &lines) { o->setProperty(name.constData(), lines); }});
    default:
        return std::nullopt;
    }
}

void setComponentReference(QObject *holder, const char *propertyName, QObject *target)
{
    holder->setProperty(propertyName, QVariant::fromValue(QPointer<QObject>(target)));
}

QObject *componentReference(const QObject *holder, const char *propertyName)
{
    const QVariant v = holder->property(propertyName);
    if (v.canConvert<QPointer<QObject>>())
        return v.value<QPointer<QObject>>().data();
    return nullptr;
}

QString plainClassName(const QObject *object)
{
    const QString name = QString::fromLatin1(object->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QStringLiteral("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

namespace {

// The window a component belongs to: its nearest ancestor that is a window.
const QObject *ownerWindow(const QObject *o)
{
    for (const QObject *p = o->parent(); p; p = p->parent())
        if (const auto *w = qobject_cast<const QWidget *>(p); w && w->isWindow())
            return w;
    return nullptr;
}

QObject *findComponent(const QObject *root, QStringView name)
{
    if (name.isEmpty())
        return nullptr;
    const QList<QObject *> all = root->findChildren<QObject *>();
    for (QObject *o : all)
        if (o->objectName() == name)
            return o;
    for (QObject *o : all)
        if (o->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return o;
    return nullptr;
}

} // namespace

QString componentReferenceText(const QObject *target, const QObject *form)
{
    if (!target)
        return QStringLiteral("(null)");
    const QObject *owner = ownerWindow(target);
    if (!owner || owner == form || target == form)
        return target->objectName();
    QString ownerName = owner->objectName();
    if (ownerName.isEmpty()) {
        ownerName = plainClassName(owner);
        if (ownerName.startsWith(u'T'))
            ownerName.remove(0, 1);
    }
    return ownerName + u'.' + target->objectName();
}

QObject *resolveComponentReference(QStringView text, const QObject *form)
{
    const QString t = trimScalarText(text);
    if (t.isEmpty() || t.compare(QStringLiteral("(null)"), Qt::CaseInsensitive) == 0)
        return nullptr;
    const qsizetype dot = t.indexOf(u'.');
    if (dot < 0)
        return form ? findComponent(form, t) : nullptr;
    const QStringView windowName = QStringView(t).first(dot);
    const QStringView componentName = QStringView(t).mid(dot + 1);
    for (QWidget *w : QApplication::topLevelWidgets()) {
        QString className = plainClassName(w);
        if (className.startsWith(u'T'))
            className.remove(0, 1);
        if (w->objectName().compare(windowName, Qt::CaseInsensitive) == 0 ||
            (w->objectName().isEmpty() && className.compare(windowName, Qt::CaseInsensitive) == 0))
            return findComponent(w, componentName);
    }
    return nullptr;
}

} // namespace orv::frontend
