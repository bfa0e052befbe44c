// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registrystore.h"

#include <map>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSet>
#include <QSysInfo>

#include "platform/paths.h"
#include "platform/registryformat.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>

#include <sys/stat.h>
#endif

Q_LOGGING_CATEGORY(lcRegistry, "platform.registry")

namespace platform {

namespace {

constexpr qint64 kUnfilledLockMs = 1000;

// Leftovers of programs that died while taking the lock, which the lock alone would only
// give up on late or never:
// - a lock file without its owner's details (the program died between creating and
//   filling it, or while filling it) counts as stale only after the lock's 30 seconds; until then every save
//   waits its whole time-out and fails. A living owner fills the file at once, so one that
//   is still empty after a second is a dead program's.
// - the lock's removal of a stale lock file goes through "<lock>.rmlock"; a program that
//   dies at that moment leaves it behind, and every further death at the same moment adds
//   one more ".rmlock" level. Each level slows the next lock down, and once the names grow
//   past the longest file name the store could never be locked (nor saved) again. The
//   levels whose owner, on this machine, is no longer running are removed, deepest first.
void removeDeadLockLeftovers(const QString &lockPath)
{
#ifdef Q_OS_UNIX
    // True when the lock file at name was left by a program that is gone.
    const auto isDeadProgramsLock = [](const QString &name) {
        qint64 pid = 0;
        QString host;
        QString app;
        if (!QLockFile(name).getLockInfo(&pid, &host, &app) || pid <= 0)
            return QFileInfo(name).lastModified().msecsTo(QDateTime::currentDateTime()) > kUnfilledLockMs;
        return host == QSysInfo::machineHostName() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    };
    QStringList chain;
    for (QString name = lockPath + QStringLiteral(".rmlock"); QFileInfo::exists(name);
         name += QStringLiteral(".rmlock"))
        chain.append(name);
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        if (!isDeadProgramsLock(*it) || !QFile::remove(*it))
            return; // a living program's: leave the lock's own protocol to it
    }
    // The lock file itself: only the unfilled case; the lock handles a dead owner's.
    qint64 pid = 0;
    QString host;
    QString app;
    if (QFileInfo::exists(lockPath) && !QLockFile(lockPath).getLockInfo(&pid, &host, &app) &&
        isDeadProgramsLock(lockPath))
        QFile::remove(lockPath);
#else
    Q_UNUSED(lockPath);
#endif
}

} // namespace

RegistryValue RegistryValue::fromString(const QString &text)
{
    RegistryValue v;
    v.type = RegistryValueType::String;
    v.text = text;
    return v;
}

RegistryValue RegistryValue::fromDWord(quint32 value)
{
    RegistryValue v;
    v.type = RegistryValueType::DWord;
    v.dword = value;
    return v;
}

RegistryValue RegistryValue::fromBinary(const QByteArray &bytes)
{
    RegistryValue v;
    v.type = RegistryValueType::Binary;
    v.bytes = bytes;
    return v;
}

namespace {

constexpr int kLockTimeoutMs = 10000;

enum ErrorCode { kErrBadName = 1, kErrLock = 2, kErrRead = 3, kErrWrite = 4, kErrType = 5, kErrRoot = 6 };

// What a stat() tells us about the store file; a change in any field means another
// program replaced the file (every write is a rename, so the inode changes too).
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

FileStamp stampOf(const QString &path)
{
    FileStamp s;
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.inode = st.st_ino;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return s;
    s.exists = true;
    s.size = info.size();
    s.mtimeNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return s;
}

QStringList splitPath(QStringView keyPath)
{
    QStringList parts;
    for (QStringView part : keyPath.split(u'\\', Qt::SkipEmptyParts))
        parts.append(part.toString());
    return parts;
}

bool validName(QStringView name)
{
    for (QChar c : name)
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            return false;
    return true;
}

} // namespace

// One key of the tree: values in first-write order, sub-keys sorted without regard to case.
struct RegistryNode
{
    QString name;
    QList<std::pair<QString, RegistryValue>> values;
    QHash<QString, qsizetype> valueIndex;                      // case-folded name -> position in values
    std::map<QString, std::unique_ptr<RegistryNode>> children; // case-folded name -> key

    RegistryNode *child(QStringView childName) const
    {
        const auto it = children.find(childName.toString().toCaseFolded());
        return it == children.end() ? nullptr : it->second.get();
    }

    RegistryNode *ensureChild(const QString &childName)
    {
        auto &slot = children[childName.toCaseFolded()];
        if (!slot) {
            slot = std::make_unique<RegistryNode>();
            slot->name = childName;
        }
        return slot.get();
    }

    const RegistryValue *find(QStringView valueName) const
    {
        const auto it = valueIndex.constFind(valueName.toString().toCaseFolded());
        return it == valueIndex.cend() ? nullptr : &values.at(*it).second;
    }

    // True when something changed.
    bool set(const QString &valueName, const RegistryValue &value)
    {
        const QString folded = valueName.toCaseFolded();
        const auto it = valueIndex.constFind(folded);
        if (it != valueIndex.cend()) {
            if (values[*it].second == value)
                return false;
            values[*it].second = value;
            return true;
        }
        valueIndex.insert(folded, values.size());
        values.append({valueName, value});
        return true;
    }

    bool remove(QStringView valueName)
    {
        const auto it = valueIndex.constFind(valueName.toString().toCaseFolded());
        if (it == valueIndex.cend())
            return false;
        values.removeAt(*it);
        valueIndex.clear();
        for (qsizetype i = 0; i < values.size(); ++i)
            valueIndex.insert(values.at(i).first.toCaseFolded(), i);
        return true;
    }
};

struct RegistryStore::Impl
{
    RegistryRoot root = RegistryRoot::CurrentUser;
    QString path;
    std::unique_ptr<RegistryNode> tree = std::make_unique<RegistryNode>();
    FileStamp stamp;
    bool loaded = false;
    // The file exists but could not be read: writing would replace it with a store that
    // lacks everything in it, so writes are refused until it can be read again.
    std::optional<QString> readError;
    std::function<void(const QString &)> warningHandler;
    QSet<QByteArray> damagedCopies; // hashes of damaged contents already kept and reported
    QSet<QString> warningsGiven;

    int batchDepth = 0;
    std::unique_ptr<QLockFile> lock;
    bool dirty = false;
    std::optional<Error> batchError;

    void warnOnce(const QString &message)
    {
        if (warningsGiven.contains(message))
            return;
        warningsGiven.insert(message);
        if (warningHandler)
            warningHandler(message);
        else
            qCWarning(lcRegistry).noquote() << message;
    }

    RegistryNode *findNode(QStringView keyPath) const
    {
        RegistryNode *node = tree.get();
        for (const QString &part : splitPath(keyPath)) {
            node = node->child(part);
            if (!node)
                return nullptr;
        }
        return node;
    }

    RegistryNode *ensureNode(QStringView keyPath, bool *created)
    {
        RegistryNode *node = tree.get();
        for (const QString &part : splitPath(keyPath)) {
            RegistryNode *next = node->child(part);
            if (!next) {
                next = node->ensureChild(part);
                *created = true;
            }
            node = next;
        }
        return node;
    }

    // False when no copy could be kept: the damaged file must then not be replaced.
    bool keepDamagedCopy(const QByteArray &bytes, const QStringList &problems)
    {
        const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
        if (damagedCopies.contains(hash))
            return true;
        const QString stampText = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString copyPath = path + QStringLiteral(".damaged-") + stampText;
        for (int n = 2; QFileInfo::exists(copyPath); ++n)
            copyPath = path + QStringLiteral(".damaged-") + stampText + u'-' + QString::number(n);
        QString kept;
        QSaveFile copy(copyPath);
        const bool copied = copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                            copy.write(bytes) == bytes.size() && copy.commit();
        if (copied) {
            damagedCopies.insert(hash);
            kept = QStringLiteral("a copy of it was kept as %1").arg(copyPath);
        } else {
            kept =
                QStringLiteral("no copy of it could be kept (%1), so it will not be changed").arg(copy.errorString());
        }
        QString message = QStringLiteral("The settings file %1 could not be read completely (%2); %3. "
                                         "The settings that could be read are used.")
                              .arg(path, problems.first(), kept);
        if (problems.size() > 1)
            message += QStringLiteral(" %1 more problems were found.").arg(problems.size() - 1);
        if (copied) {
            if (warningHandler)
                warningHandler(message);
            else
                qCWarning(lcRegistry).noquote() << message;
        } else {
            warnOnce(message);
        }
        return copied;
    }

    // Re-reads the file when it changed since we last saw it. Inside a batch the lock is
    // held and the tree holds unsaved changes, so nothing is re-read.
    void refresh()
    {
        if (batchDepth > 0)
            return;
        const FileStamp now = stampOf(path);
        if (loaded && now == stamp)
            return;
        loaded = true;
        stamp = now;
        readError.reset();
        tree = std::make_unique<RegistryNode>();
        if (!now.exists) {
            const QFileInfo dir(QFileInfo(path).absolutePath());
            if (!dir.isDir())
                warnOnce(QStringLiteral("The settings folder %1 does not exist; settings cannot be kept.")
                             .arg(dir.filePath()));
            return;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            readError = QStringLiteral("The settings file %1 cannot be read: %2").arg(path, file.errorString());
            warnOnce(*readError);
            return;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            readError = QStringLiteral("The settings file %1 cannot be read: %2").arg(path, file.errorString());
            warnOnce(*readError);
            return;
        }
        const regformat::ParseResult parsed = regformat::parse(bytes, RegistryStore::rootName(root));
        for (const regformat::ParsedValue &entry : parsed.values) {
            if (entry.deleteKey) {
                deleteNode(entry.keyPath);
                continue;
            }
            bool created = false;
            RegistryNode *node = ensureNode(entry.keyPath, &created);
            if (entry.isKeyOnly)
                continue;
            if (entry.deleteValue)
                node->remove(entry.name);
            else
                node->set(entry.name, entry.value);
        }
        if (!parsed.problems.isEmpty() && !keepDamagedCopy(bytes, parsed.problems))
            readError = QStringLiteral("The settings file %1 is damaged and no copy of it could be kept.").arg(path);
    }

    bool deleteNode(QStringView keyPath)
    {
        const QStringList parts = splitPath(keyPath);
        if (parts.isEmpty())
            return false;
        RegistryNode *parent = findNode(parts.mid(0, parts.size() - 1).join(u'\\'));
        if (!parent)
            return false;
        return parent->children.erase(parts.last().toCaseFolded()) > 0;
    }

    // Depth first: a key's header, its values, then its sub-keys. Every key gets a
    // header, so empty keys survive a round trip; the root only when it holds values.
    static void writeNode(QByteArray &out, const RegistryNode &node, const QString &keyText, bool isRoot)
    {
        if (!isRoot || !node.values.isEmpty()) {
            out += '\n';
            out += '[';
            out += keyText.toUtf8();
            out += "]\n";
        }
        for (const auto &entry : node.values) {
            out += regformat::formatValueLine(entry.first, entry.second);
            out += '\n';
        }
        for (const auto &entry : node.children)
            writeNode(out, *entry.second, keyText + u'\\' + entry.second->name, false);
    }

    QByteArray serialize() const
    {
        QByteArray out;
        out.reserve(4096);
        out += "REGEDIT4\n";
        const QString rootText = RegistryStore::rootName(root);
        writeNode(out, *tree, rootText, true);
        return out;
    }

    Status lockFile()
    {
        const QString dir = QFileInfo(path).absolutePath();
        if (!QFileInfo(dir).isDir() && !QDir().mkpath(dir))
            return Error{kErrLock, QStringLiteral("The settings folder %1 cannot be created.").arg(dir)};
        removeDeadLockLeftovers(path + QStringLiteral(".lock"));
        lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
        if (!lock->tryLock(kLockTimeoutMs)) {
            const QString reason = lock->error() == QLockFile::LockFailedError
                                       ? QStringLiteral("another program holds it")
                                       : QStringLiteral("the lock file cannot be created");
            lock.reset();
            return Error{kErrLock, QStringLiteral("The settings file %1 cannot be locked: %2.").arg(path, reason)};
        }
        return {};
    }

    void unlockFile() { lock.reset(); }

    Status writeFile()
    {
        const QByteArray bytes = serialize();
        QSaveFile file(path);
        // Unbuffered, so a short write shows at write() and not only, maybe, at commit().
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            loaded = false; // the tree no longer matches the file: re-read it next time
            return Error{kErrWrite,
                         QStringLiteral("The settings file %1 cannot be written: %2").arg(path, file.errorString())};
        }
        if (file.write(bytes) != bytes.size() || !file.commit()) {
            const QString reason = file.errorString();
            file.cancelWriting();
            loaded = false;
            return Error{kErrWrite, QStringLiteral("The settings file %1 cannot be written: %2").arg(path, reason)};
        }
        stamp = stampOf(path);
        return {};
    }

    // Runs change() on the current tree under the lock and writes the file when it
    // reports a change. Inside a batch the write waits for the batch to end.
    template <typename F> Status mutate(F change)
    {
        if (batchDepth > 0) {
            if (batchError)
                return *batchError;
            if (change())
                dirty = true;
            return {};
        }
        if (Status locked = lockFile(); !locked)
            return locked;
        // A file that could not be read (or copied) last time is tried again.
        if (readError)
            loaded = false;
        refresh();
        if (readError) {
            unlockFile();
            return Error{kErrRead, *readError};
        }
        Status result;
        if (change())
            result = writeFile();
        unlockFile();
        return result;
    }
};

RegistryStore::RegistryStore(RegistryRoot root)
    : RegistryStore(root, defaultFilePath(root))
{}

RegistryStore::RegistryStore(RegistryRoot root, const QString &filePath)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->root = root;
    m_impl->path = filePath;
}

RegistryStore::~RegistryStore() = default;

QString RegistryStore::defaultFilePath(RegistryRoot root)
{
    return QDir(paths::configFolder()).filePath(rootName(root) + QStringLiteral(".reg"));
}

QString RegistryStore::rootName(RegistryRoot root)
{
    return root == RegistryRoot::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                             : QStringLiteral("HKEY_LOCAL_MACHINE");
}

RegistryRoot RegistryStore::root() const
{
    return m_impl->root;
}

QString RegistryStore::filePath() const
{
    return m_impl->path;
}

bool RegistryStore::keyExists(QStringView keyPath) const
{
    m_impl->refresh();
    return m_impl->findNode(keyPath) != nullptr;
}

Status RegistryStore::createKey(QStringView keyPath)
{
    for (const QString &part : splitPath(keyPath))
        if (!validName(part))
            return Error{kErrBadName, QStringLiteral("Invalid key name: %1").arg(part)};
    return m_impl->mutate([&] {
        bool created = false;
        m_impl->ensureNode(keyPath, &created);
        return created;
    });
}

Status RegistryStore::deleteKey(QStringView keyPath)
{
    if (splitPath(keyPath).isEmpty())
        return Error{kErrRoot, QStringLiteral("The root key cannot be deleted.")};
    return m_impl->mutate([&] { return m_impl->deleteNode(keyPath); });
}

std::optional<RegistryValue> RegistryStore::value(QStringView keyPath, QStringView name) const
{
    m_impl->refresh();
    const RegistryNode *node = m_impl->findNode(keyPath);
    if (!node)
        return std::nullopt;
    const RegistryValue *v = node->find(name);
    if (!v)
        return std::nullopt;
    return *v;
}

std::optional<RegistryValueType> RegistryStore::valueType(QStringView keyPath, QStringView name) const
{
    const std::optional<RegistryValue> v = value(keyPath, name);
    if (!v)
        return std::nullopt;
    return v->type;
}

Result<std::optional<QString>> RegistryStore::readString(QStringView keyPath, QStringView name) const
{
    m_impl->refresh();
    const RegistryNode *node = m_impl->findNode(keyPath);
    const RegistryValue *v = node ? node->find(name) : nullptr;
    if (!v)
        return std::optional<QString>();
    if (v->type != RegistryValueType::String && v->type != RegistryValueType::ExpandString)
        return Error{kErrType, QStringLiteral("The value '%1' is not text.").arg(name)};
    return std::optional<QString>(v->text);
}

Status RegistryStore::setValue(QStringView keyPath, QStringView name, const RegistryValue &value)
{
    if (!validName(name))
        return Error{kErrBadName, QStringLiteral("Invalid value name: %1").arg(name)};
    for (const QString &part : splitPath(keyPath))
        if (!validName(part))
            return Error{kErrBadName, QStringLiteral("Invalid key name: %1").arg(part)};
    const QString valueName = name.toString();
    return m_impl->mutate([&] {
        bool created = false;
        RegistryNode *node = m_impl->ensureNode(keyPath, &created);
        return node->set(valueName, value) || created;
    });
}

Status RegistryStore::setString(QStringView keyPath, QStringView name, const QString &text)
{
    return setValue(keyPath, name, RegistryValue::fromString(text));
}

Status RegistryStore::setDWord(QStringView keyPath, QStringView name, quint32 value)
{
    return setValue(keyPath, name, RegistryValue::fromDWord(value));
}

Status RegistryStore::setBinary(QStringView keyPath, QStringView name, const QByteArray &bytes)
{
    return setValue(keyPath, name, RegistryValue::fromBinary(bytes));
}

Status RegistryStore::deleteValue(QStringView keyPath, QStringView name)
{
    return m_impl->mutate([&] {
        RegistryNode *node = m_impl->findNode(keyPath);
        return node && node->remove(name);
    });
}

QStringList RegistryStore::valueNames(QStringView keyPath) const
{
    m_impl->refresh();
    QStringList names;
    if (const RegistryNode *node = m_impl->findNode(keyPath))
        for (const auto &entry : node->values)
            names.append(entry.first);
    return names;
}

QStringList RegistryStore::subKeyNames(QStringView keyPath) const
{
    m_impl->refresh();
    QStringList names;
    if (const RegistryNode *node = m_impl->findNode(keyPath))
        for (const auto &entry : node->children)
            names.append(entry.second->name);
    return names;
}

void RegistryStore::setWarningHandler(std::function<void(const QString &)> handler)
{
    m_impl->warningHandler = std::move(handler);
}

RegistryStore::Batch::Batch(RegistryStore &store)
    : m_store(&store)
{
    Impl &impl = *store.m_impl;
    if (impl.batchDepth++ > 0)
        return;
    impl.dirty = false;
    impl.batchError.reset();
    if (Status locked = impl.lockFile(); !locked) {
        impl.batchError = locked.error();
        return;
    }
    // Re-read before the depth counts, so the batch starts from the file as it is now.
    --impl.batchDepth;
    impl.refresh();
    ++impl.batchDepth;
    if (impl.readError) {
        impl.batchError = Error{kErrRead, *impl.readError};
        impl.unlockFile();
    }
}

RegistryStore::Batch::~Batch()
{
    if (!m_done)
        (void)commit();
}

Status RegistryStore::Batch::commit()
{
    if (m_done)
        return {};
    m_done = true;
    Impl &impl = *m_store->m_impl;
    if (--impl.batchDepth > 0)
        return {};
    if (impl.batchError) {
        Error error = *impl.batchError;
        impl.batchError.reset();
        impl.unlockFile();
        return error;
    }
    Status result;
    if (impl.dirty)
        result = impl.writeFile();
    impl.dirty = false;
    impl.unlockFile();
    return result;
}

} // namespace platform
