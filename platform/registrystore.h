// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/result.h"

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

enum class RegistryValueType { String, ExpandString, DWord, Binary, Other };

// One named value of a key. Which member holds the data follows the type:
// text for String and ExpandString, dword for DWord, bytes for Binary and Other.
struct RegistryValue
{
    RegistryValueType type = RegistryValueType::String;
    QString text;
    quint32 dword = 0;
    QByteArray bytes;

    static RegistryValue fromString(const QString &text);
    static RegistryValue fromDWord(quint32 value);
    static RegistryValue fromBinary(const QByteArray &bytes);
    friend bool operator==(const RegistryValue &, const RegistryValue &) = default;
};

// A hierarchical store of keys with named, typed values: the stand-in for one root of
// the Windows registry. Each root lives in one human-readable text file in REGEDIT4
// form (by default $XDG_CONFIG_HOME/orvane-tools/<ROOT NAME>.reg).
//
// Key paths are backslash-separated below the root ("SOFTWARE\Orvane\Main options");
// leading and trailing backslashes are ignored, and key and value names compare without
// regard to case while keeping the case they were created with. Sub-keys list in
// case-insensitive alphabetical order, values in the order they were first written.
//
// Every operation works on the file as it is now: it re-reads the file when another
// program changed it, and every write takes a lock, re-reads, changes and replaces the
// file atomically, so a crash never leaves a half-written store and two programs writing
// at once lose nothing. A Batch groups many writes into one lock and one file write.
class RegistryStore
{
public:
    explicit RegistryStore(RegistryRoot root);
    RegistryStore(RegistryRoot root, const QString &filePath);
    ~RegistryStore();
    RegistryStore(const RegistryStore &) = delete;
    RegistryStore &operator=(const RegistryStore &) = delete;

    static QString defaultFilePath(RegistryRoot root);
    // "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE".
    static QString rootName(RegistryRoot root);

    RegistryRoot root() const;
    QString filePath() const;

    bool keyExists(QStringView keyPath) const;
    // Creates the key and every missing key above it. Existing keys are left alone.
    Status createKey(QStringView keyPath);
    // Deletes the key with all its sub-keys. A missing key is not an error.
    Status deleteKey(QStringView keyPath);

    // nullopt when the key or the value is missing.
    std::optional<RegistryValue> value(QStringView keyPath, QStringView name) const;
    std::optional<RegistryValueType> valueType(QStringView keyPath, QStringView name) const;
    // The text of a String or ExpandString value. nullopt when the key or value is
    // missing; an error when the value exists but is not text.
    Result<std::optional<QString>> readString(QStringView keyPath, QStringView name) const;

    // Writes the value, creating the key path when needed.
    Status setValue(QStringView keyPath, QStringView name, const RegistryValue &value);
    Status setString(QStringView keyPath, QStringView name, const QString &text);
    Status setDWord(QStringView keyPath, QStringView name, quint32 value);
    Status setBinary(QStringView keyPath, QStringView name, const QByteArray &bytes);
    // A missing value is not an error.
    Status deleteValue(QStringView keyPath, QStringView name);

    // Empty when the key is missing.
    QStringList valueNames(QStringView keyPath) const;
    QStringList subKeyNames(QStringView keyPath) const;

    // Called once per problem with the file: a damaged file is reported once (naming
    // its first bad line and the copy "<file>.damaged-<timestamp>" kept beside it before
    // it is ever written again), an unreadable file or a missing folder once each.
    // Without a handler the message goes to the log category "platform.registry".
    void setWarningHandler(std::function<void(const QString &)> handler);

    // Holds the store's lock and defers the file write until the outermost Batch ends.
    // Reads inside a batch see the batch's own writes.
    class Batch
    {
    public:
        explicit Batch(RegistryStore &store);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        // Writes the file now; the destructor does the same when commit was not called.
        Status commit();

    private:
        RegistryStore *m_store;
        bool m_done = false;
    };

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace platform
