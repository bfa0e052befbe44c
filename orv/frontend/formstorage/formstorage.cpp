// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/formstorage/formstorage.h"

#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QListWidget>
#include <QLoggingCategory>
#include <QScreen>
#include <QWidget>

#include "orv/frontend/formstorage/registryexport.h"
#include "orv/frontend/formstorage/scalarcodec.h"
#include "platform/textfile.h"

Q_LOGGING_CATEGORY(lcFormStorage, "orv.frontend.formstorage")

namespace orv::frontend {

namespace {

constexpr int kErrCreateKey = 1;
constexpr int kErrSetData = 2;
constexpr int kErrGetData = 3;
constexpr int kErrExport = 4;
// Counts read back from the store are bounded: a damaged or hand-edited count must not
// make a window build millions of lines or columns.
constexpr qint64 kMaxStoredLines = 32768;
constexpr qint64 kMaxStoredItems = 1000;
constexpr const char *kChainName = "orv_formstorage_chain";

platform::Error setDataError(const QString &name)
{
    return platform::Error{kErrSetData, QStringLiteral("Failed to set data for '%1'").arg(name)};
}

int pixelsPerInch(const QWidget *form)
{
    const QScreen *screen = form->screen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

QString screenSuffix(const QWidget *form)
{
    const QScreen *screen = form->screen();
    const QSize size = screen ? screen->geometry().size() : QSize(0, 0);
    return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

} // namespace

// Serves all storages of one window from a single event filter, so their order follows
// the order they were made in, whatever order Qt runs filters in.
class FormStorageChain : public QObject
{
public:
    explicit FormStorageChain(QWidget *form)
        : QObject(form)
        , m_form(form)
    {
        setObjectName(QString::fromLatin1(kChainName));
        form->installEventFilter(this);
        // A dialog ended by accept() or reject() hides without a close event, yet it
        // closes all the same.
        if (auto *dialog = qobject_cast<QDialog *>(form))
            connect(dialog, &QDialog::finished, this, [this] {
                if (m_inClose)
                    m_savedInClose = true;
                saveAll();
            });
    }

    static FormStorageChain *of(QWidget *form, bool create)
    {
        for (QObject *child : form->children())
            if (child->objectName() == QLatin1String(kChainName))
                if (auto *chain = dynamic_cast<FormStorageChain *>(child))
                    return chain;
        return create ? new FormStorageChain(form) : nullptr;
    }

    QList<QPointer<TFormStorage>> storages;
    bool destroyed = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_form || destroyed)
            return false;
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            m_everShown = true;
            // The last-made storage is the outermost link: it loads first.
            for (qsizetype i = storages.size() - 1; i >= 0; --i)
                if (TFormStorage *s = storages.at(i); s && s->Active())
                    s->loadAutomatically();
            return false;
        }
        if (event->type() == QEvent::Close) {
            // The window's own close handler decides first; the storages save only when it
            // lets the window close.
            const QPointer<FormStorageChain> self = this;
            m_inClose = true;
            m_savedInClose = false;
            static_cast<QObject *>(m_form)->event(event);
            if (!self)
                return true;
            m_inClose = false;
            if (event->isAccepted() && !m_savedInClose)
                saveAll();
            return true;
        }
        return false;
    }

private:
    // In the order the storages were made.
    void saveAll()
    {
        // A window that never made it to the screen has nothing the user could have changed.
        if (destroyed || !m_everShown)
            return;
        for (const QPointer<TFormStorage> &s : QList(storages))
            if (s && s->Active())
                s->saveAutomatically();
    }

    QWidget *m_form;
    bool m_inClose = false;
    bool m_everShown = false;
    bool m_savedInClose = false;
};

TFormStorage::TFormStorage(QWidget *form, platform::RegistryStore &store)
    : QObject(form)
    , m_form(form)
    , m_store(store)
{
    static const auto standardTable = std::make_shared<const PropertyTable>(PropertyTable::standard());
    m_table = standardTable;
    FormStorageChain::of(form, true)->storages.append(this);
}

TFormStorage::~TFormStorage() = default;

void TFormStorage::formDestroying(QWidget *form)
{
    FormStorageChain *chain = FormStorageChain::of(form, false);
    if (!chain || chain->destroyed)
        return;
    chain->destroyed = true;
    for (qsizetype i = chain->storages.size() - 1; i >= 0; --i)
        if (TFormStorage *s = chain->storages.at(i))
            s->saveOnDestroy();
}

QStringList TFormStorage::StoredProps() const
{
    QStringList items;
    for (const StoredItem &item : m_items)
        items.append(item.text);
    return items;
}

void TFormStorage::setStoredProps(const QStringList &items)
{
    m_items.clear();
    const QList<QObject *> children = m_form->findChildren<QObject *>();
    for (const QString &text : items) {
        const qsizetype dot = text.indexOf(u'.');
        if (dot < 0)
            continue;
        StoredItem item;
        item.text = text;
        item.component = text.left(dot).trimmed();
        item.property = text.mid(dot + 1).trimmed();
        if (item.component.isEmpty() || item.property.isEmpty())
            continue;
        for (QObject *child : children)
            if (child->objectName().compare(item.component, Qt::CaseInsensitive) == 0) {
                item.object = child;
                if (child->objectName() == item.component)
                    break;
            }
        if (!item.object)
            continue;
        m_items.append(item);
    }
}

void TFormStorage::setPropertyTable(std::shared_ptr<const PropertyTable> table)
{
    if (table)
        m_table = std::move(table);
}

void TFormStorage::linkCheckList(QListWidget *list)
{
    m_checkLists.append(list);
}

QString TFormStorage::keyFor(const QString &section) const
{
    return m_iniFileName + u'\\' + section;
}

QString TFormStorage::sectionKey() const
{
    return keyFor(m_iniSection);
}

QString TFormStorage::subSectionKey(const StoredItem &item) const
{
    return keyFor(m_iniSection + u'.' + item.itemName());
}

QString TFormStorage::checkListKey(const QListWidget *list) const
{
    const QString name = plainClassName(list->window()) + list->objectName();
    return keyFor(m_iniSection.isEmpty() ? name : m_iniSection + u'\\' + name);
}

platform::Status TFormStorage::ensureBaseKey() const
{
    if (m_store.keyExists(m_iniFileName))
        return {};
    if (platform::Status created = m_store.createKey(m_iniFileName); !created) {
        m_lastFailureCause = created.error().message;
        qCWarning(lcFormStorage).noquote() << m_lastFailureCause;
        return platform::Error{kErrCreateKey, QStringLiteral("Failed to create key %1").arg(m_iniFileName)};
    }
    return {};
}

platform::Status TFormStorage::writeIn(const QString &key, const QString &name, const QString &value)
{
    if (platform::Status written = m_store.setString(key, name, value); !written) {
        m_lastFailureCause = written.error().message;
        qCWarning(lcFormStorage).noquote() << m_lastFailureCause;
        return setDataError(name);
    }
    return {};
}

platform::Result<QString> TFormStorage::readIn(const QString &key, const QString &name,
                                               const QString &defaultValue) const
{
    const platform::Result<std::optional<QString>> read = m_store.readString(key, name);
    if (!read) {
        m_lastFailureCause = read.error().message;
        return platform::Error{kErrGetData, QStringLiteral("Failed to get data for '%1'").arg(name)};
    }
    return read.value().value_or(defaultValue);
}

platform::Result<QString> TFormStorage::ReadValue(const QString &name, const QString &defaultValue) const
{
    if (platform::Status base = ensureBaseKey(); !base)
        return base.error();
    return readIn(sectionKey(), name, defaultValue);
}

platform::Status TFormStorage::WriteValue(const QString &name, const QString &value)
{
    if (platform::Status base = ensureBaseKey(); !base)
        return base;
    return writeIn(sectionKey(), name, value);
}

platform::Result<int> TFormStorage::ReadIntValue(const QString &name, int defaultValue) const
{
    const platform::Result<QString> text = ReadValue(name, QString::number(defaultValue));
    if (!text)
        return text.error();
    const std::optional<qint64> v = parseDecimal(text.value());
    if (!v || *v < INT_MIN || *v > INT_MAX)
        return defaultValue;
    return int(*v);
}

platform::Status TFormStorage::WriteIntValue(const QString &name, int value)
{
    return WriteValue(name, QString::number(value));
}

platform::Status TFormStorage::DeleteSection(const QString &keyPath)
{
    if (QStringView(keyPath).split(u'\\', Qt::SkipEmptyParts).isEmpty())
        return {};
    if (platform::Status deleted = m_store.deleteKey(keyPath); !deleted) {
        m_lastFailureCause = deleted.error().message;
        qCWarning(lcFormStorage).noquote() << m_lastFailureCause;
        return platform::Error{kErrSetData, QStringLiteral("Failed to delete key %1").arg(keyPath)};
    }
    return {};
}

platform::Status TFormStorage::ExportSettings(const QString &fileName)
{
    if (platform::Status base = ensureBaseKey(); !base)
        return base;
    QString keyPath = m_iniFileName;
    if (keyPath.endsWith(u'\\'))
        keyPath.chop(1);
    const QByteArray text = exportRegEdit4(m_store, keyPath, platform::RegistryStore::rootName(m_store.root()));
    if (platform::Status written = platform::textfile::writeAtomically(fileName, text); !written)
        return platform::Error{kErrExport,
                               QStringLiteral("Cannot write %1: %2").arg(fileName, written.error().message)};
    return {};
}

void TFormStorage::reportError(const platform::Status &status) const
{
    if (status)
        return;
    if (m_errorHandler)
        m_errorHandler(status.error().message);
    else
        qCWarning(lcFormStorage).noquote() << status.error().message;
}

void TFormStorage::loadAutomatically()
{
    reportError(LoadSettings());
}

void TFormStorage::saveAutomatically()
{
    reportError(SaveSettings());
}

void TFormStorage::saveOnDestroy()
{
    if (!m_active || m_saved)
        return;
    m_destroying = true;
    const platform::Status saved = SaveSettings();
    m_destroying = false;
    reportError(saved);
}

// Saving -------------------------------------------------------------------------------

platform::Status TFormStorage::SaveSettings()
{
    // A storage that never loaded would overwrite the stored settings with design-time values.
    if (m_active && !m_restored)
        return {};
    if (platform::Status base = ensureBaseKey(); !base)
        return base;

    platform::Status result;
    {
        // One lock and one file write for the whole save.
        platform::RegistryStore::Batch batch(m_store);
        result = writeIn(sectionKey(), QStringLiteral("FormVersion"), QString::number(m_version));
        if (result)
            result = savePlacement();
        for (const QPointer<QListWidget> &list : m_checkLists) {
            if (!result)
                break;
            if (!list || list->objectName().isEmpty())
                continue;
            const QString key = checkListKey(list);
            if (!m_store.deleteKey(key)) {
                result = setDataError(QStringLiteral("Count"));
                break;
            }
            result = writeIn(key, QStringLiteral("Count"), QString::number(list->count()));
            for (int i = 0; result && i < list->count(); ++i) {
                const Qt::CheckState state = list->item(i)->checkState();
                const int stored = state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
                result = writeIn(key, QStringLiteral("Item%1").arg(i), QString::number(stored));
            }
        }
        for (const StoredItem &item : m_items) {
            if (!result)
                break;
            result = saveProperty(item);
        }
        if (platform::Status committed = batch.commit(); !committed && result) {
            m_lastFailureCause = committed.error().message;
            qCWarning(lcFormStorage).noquote() << m_lastFailureCause;
            result = setDataError(QStringLiteral("FormVersion"));
        }
    }
    if (!result)
        return result;
    emit OnSavePlacement(this);
    m_saved = true;
    return {};
}

platform::Status TFormStorage::savePlacement()
{
    const QString key = sectionKey();
    const Qt::WindowStates state = m_form->windowState();
    const bool minimized = state & Qt::WindowMinimized;
    const bool maximized = state & Qt::WindowMaximized;
    // As the platform's placement reports it: 2 = restore to maximized.
    const int flags = minimized && maximized ? 2 : 0;
    const int showCmd = minimized ? 2 : maximized ? 3 : 1;
    const QRect normal =
        (minimized || maximized) && m_form->normalGeometry().isValid() ? m_form->normalGeometry() : m_form->geometry();
    // Qt knows no minimized and maximized positions; "none" reads as -1 on the platform.
    const QString minMax = QStringLiteral("-1,-1,-1,-1");
    const QString norm = QStringLiteral("%1,%2,%3,%4")
                             .arg(normal.left())
                             .arg(normal.top())
                             .arg(normal.left() + normal.width())
                             .arg(normal.top() + normal.height());
    const QString suffix = screenSuffix(m_form);
    const std::pair<QString, QString> values[] = {
        {QStringLiteral("Flags"), QString::number(flags)},
        {QStringLiteral("ShowCmd"), QString::number(showCmd)},
        {QStringLiteral("PixelsPerInch"), QString::number(pixelsPerInch(m_form))},
        {QStringLiteral("MinMaxPos") + suffix, minMax},
        {QStringLiteral("MinMaxPos"), minMax},
        {QStringLiteral("NormPos") + suffix, norm},
        {QStringLiteral("NormPos"), norm},
        {QStringLiteral("Visible"), m_destroying ? QStringLiteral("1") : QStringLiteral("0")},
    };
    for (const auto &[name, value] : values)
        if (platform::Status written = writeIn(key, name, value); !written)
            return written;
    return {};
}

const PropertyBinding *TFormStorage::bindingFor(const StoredItem &item, std::optional<PropertyBinding> &adHoc) const
{
    if (!item.object)
        return nullptr;
    if (const PropertyBinding *b = m_table->find(item.object, item.property))
        return b;
    adHoc = qtPropertyBinding(item.object, item.property);
    if (!adHoc)
        qCDebug(lcFormStorage) << "no binding for" << item.text;
    return adHoc ? &*adHoc : nullptr;
}

std::optional<QString> TFormStorage::scalarText(const ScalarBinding &binding, const QObject *object) const
{
    const QVariant value = binding.get(object);
    if (binding.format.type == ScalarType::ComponentReference)
        return encodeScalar(binding.format, componentReferenceText(value.value<QObject *>(), m_form));
    return encodeScalar(binding.format, value);
}

void TFormStorage::applyScalarText(const ScalarBinding &binding, QObject *object, const QString &text) const
{
    if (binding.format.type == ScalarType::ComponentReference) {
        binding.set(object, QVariant::fromValue(resolveComponentReference(text, m_form)));
        return;
    }
    if (const std::optional<QVariant> value = decodeScalar(binding.format, text))
        binding.set(object, *value);
}

platform::Status TFormStorage::saveProperty(const StoredItem &item)
{
    std::optional<PropertyBinding> adHoc;
    const PropertyBinding *b = bindingFor(item, adHoc);
    if (!b)
        return {};
    QObject *object = item.object;
    const QString section = sectionKey();
    switch (b->kind) {
    case PropertyBinding::Kind::Scalar:
        if (const std::optional<QString> text = scalarText(b->scalar, object))
            return writeIn(section, item.itemName(), *text);
        return {};
    case PropertyBinding::Kind::Object:
        for (const auto &[name, scalar] : b->object.properties)
            if (const std::optional<QString> text = scalarText(scalar, object))
                if (platform::Status written = writeIn(section, item.itemName() + name, *text); !written)
                    return written;
        return {};
    case PropertyBinding::Kind::StringList: {
        const QString sub = subSectionKey(item);
        if (!m_store.deleteKey(sub))
            return setDataError(QStringLiteral("Count"));
        const QStringList lines = b->lines.get(object);
        if (lines.isEmpty())
            return {};
        if (platform::Status written = writeIn(sub, QStringLiteral("Count"), QString::number(lines.size())); !written)
            return written;
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (platform::Status written = writeIn(sub, QStringLiteral("Item%1").arg(i), lines.at(i)); !written)
                return written;
        return {};
    }
    case PropertyBinding::Kind::Collection: {
        const QString sub = subSectionKey(item);
        if (!m_store.deleteKey(sub))
            return setDataError(item.itemName() + QStringLiteral(".Count"));
        const int count = b->collection.count(object);
        if (platform::Status written =
                writeIn(section, item.itemName() + QStringLiteral(".Count"), QString::number(count));
            !written)
            return written;
        for (int i = 0; i < count; ++i)
            for (const CollectionItemBinding &p : b->collection.itemProperties)
                if (const std::optional<QString> text = encodeScalar(p.format, p.get(object, i)))
                    if (platform::Status written = writeIn(sub, QStringLiteral("Item%1_%2").arg(i).arg(p.name), *text);
                        !written)
                        return written;
        return {};
    }
    }
    return {};
}

// Loading ------------------------------------------------------------------------------

platform::Status TFormStorage::LoadSettings()
{
    m_saved = false;
    if (platform::Status base = ensureBaseKey(); !base)
        return base;
    const platform::Result<int> version = ReadIntValue(QStringLiteral("FormVersion"), 0);
    if (!version)
        return version.error();
    if (version.value() < m_version) {
        m_restored = true;
        return {};
    }
    if (platform::Status placed = loadPlacement(); !placed)
        return placed;

    for (const QPointer<QListWidget> &list : m_checkLists) {
        if (!list || list->objectName().isEmpty())
            continue;
        const QString key = checkListKey(list);
        const platform::Result<QString> countText = readIn(key, QStringLiteral("Count"), QStringLiteral("0"));
        if (!countText)
            return countText.error();
        const qint64 count = qMin<qint64>(parseDecimal(countText.value()).value_or(0), list->count());
        for (int i = 0; i < count; ++i) {
            const platform::Result<QString> stateText =
                readIn(key, QStringLiteral("Item%1").arg(i), QStringLiteral("0"));
            if (!stateText)
                return stateText.error();
            const qint64 state = parseDecimal(stateText.value()).value_or(0);
            list->item(i)->setCheckState(state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        }
    }

    m_restored = true;
    for (const StoredItem &item : m_items)
        if (platform::Status loaded = loadProperty(item); !loaded)
            qCDebug(lcFormStorage).noquote() << "skipped" << item.text << loaded.error().message;
    emit OnRestorePlacement(this);
    return {};
}

platform::Status TFormStorage::loadPlacement()
{
    const QString key = sectionKey();
    const QString suffix = screenSuffix(m_form);
    const auto readWithFallback = [&](const QString &name) -> platform::Result<QString> {
        platform::Result<QString> specific = readIn(key, name + suffix, QString());
        if (!specific || !specific.value().isEmpty())
            return specific;
        return readIn(key, name, QString());
    };

    if (m_options.testFlag(TPlacementOption::fpPosition)) {
        const platform::Result<QString> minMax = readWithFallback(QStringLiteral("MinMaxPos"));
        if (!minMax)
            return minMax.error();
        const platform::Result<QString> norm = readWithFallback(QStringLiteral("NormPos"));
        if (!norm)
            return norm.error();
        const int current = pixelsPerInch(m_form);
        const platform::Result<QString> ppiText =
            readIn(key, QStringLiteral("PixelsPerInch"), QString::number(current));
        if (!ppiText)
            return ppiText.error();
        const qint64 storedPpi = parseDecimal(ppiText.value()).value_or(0);
        // Qt has no minimized and maximized positions to apply; the text only counts
        // as "a stored position was found".
        const QRect g = m_form->geometry();
        const QList<int> r =
            parseIntegerList(norm.value(), {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
        if ((!minMax.value().isEmpty() || !norm.value().isEmpty()) && storedPpi == current && r[0] < r[2]) {
            const bool fixedSize = m_form->minimumSize() == m_form->maximumSize();
            if (fixedSize)
                m_form->setGeometry(r[0], r[1], g.width(), g.height());
            else
                m_form->setGeometry(r[0], r[1], r[2] - r[0], qMax(0, r[3] - r[1]));
            // A window that centres itself when shown must keep the stored place instead.
            if (m_form->property("Position").toString() == QLatin1String("poScreenCenter"))
                m_form->setProperty("Position", QStringLiteral("poDesigned"));
        }
    }
    if (m_options.testFlag(TPlacementOption::fpState)) {
        const platform::Result<QString> text = readIn(key, QStringLiteral("ShowCmd"), QStringLiteral("0"));
        if (!text)
            return text.error();
        const qint64 showCmd = parseDecimal(text.value()).value_or(0);
        Qt::WindowStates state = m_form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
        if (showCmd == 2 || showCmd == 6 || showCmd == 7)
            state |= Qt::WindowMinimized;
        else if (showCmd == 3)
            state |= Qt::WindowMaximized;
        m_form->setWindowState(state);
    }
    return {};
}

platform::Status TFormStorage::loadProperty(const StoredItem &item)
{
    std::optional<PropertyBinding> adHoc;
    const PropertyBinding *b = bindingFor(item, adHoc);
    if (!b)
        return {};
    QObject *object = item.object;
    const QString section = sectionKey();
    switch (b->kind) {
    case PropertyBinding::Kind::Scalar: {
        const platform::Result<QString> text =
            readIn(section, item.itemName(), scalarText(b->scalar, object).value_or(QString()));
        if (!text)
            return text.error();
        applyScalarText(b->scalar, object, text.value());
        return {};
    }
    case PropertyBinding::Kind::Object: {
        platform::Status result;
        for (const auto &[name, scalar] : b->object.properties) {
            const platform::Result<QString> text =
                readIn(section, item.itemName() + name, scalarText(scalar, object).value_or(QString()));
            if (!text) {
                result = text.error();
                continue;
            }
            applyScalarText(scalar, object, text.value());
        }
        return result;
    }
    case PropertyBinding::Kind::StringList: {
        const QString sub = subSectionKey(item);
        const platform::Result<QString> countText = readIn(sub, QStringLiteral("Count"), QStringLiteral("0"));
        if (!countText)
            return countText.error();
        const qint64 count = qMin(parseDecimal(countText.value()).value_or(0), kMaxStoredLines);
        if (count <= 0)
            return {};
        QStringList lines;
        lines.reserve(count);
        for (qint64 i = 0; i < count; ++i) {
            const platform::Result<QString> line = readIn(sub, QStringLiteral("Item%1").arg(i), QString());
            if (!line)
                return line.error();
            lines.append(line.value());
        }
        b->lines.set(object, lines);
        return {};
    }
    case PropertyBinding::Kind::Collection: {
        const CollectionBinding &c = b->collection;
        const int current = c.count(object);
        const platform::Result<QString> countText =
            readIn(section, item.itemName() + QStringLiteral(".Count"), QString::number(current));
        if (!countText)
            return countText.error();
        const int count = int(qBound<qint64>(0, parseDecimal(countText.value()).value_or(current), kMaxStoredItems));
        QWidget *widget = qobject_cast<QWidget *>(object);
        const bool updates = widget && widget->updatesEnabled();
        if (widget)
            widget->setUpdatesEnabled(false);
        if (count != current)
            c.recreate(object, count);
        const QString sub = subSectionKey(item);
        platform::Status result;
        for (int i = 0; i < count; ++i)
            for (const CollectionItemBinding &p : c.itemProperties) {
                const QString name = QStringLiteral("Item%1_%2").arg(i).arg(p.name);
                const platform::Result<QString> text =
                    readIn(sub, name, encodeScalar(p.format, p.get(object, i)).value_or(QString()));
                if (!text) {
                    result = text.error();
                    continue;
                }
                if (const std::optional<QVariant> value = decodeScalar(p.format, text.value()))
                    p.set(object, i, *value);
            }
        if (widget)
            widget->setUpdatesEnabled(updates);
        return result;
    }
    }
    return {};
}

} // namespace orv::frontend
