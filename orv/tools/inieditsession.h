// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "orv/tools/tbiggerinifile.h"
#include "platform/result.h"

namespace orv::tools {

// The INI editor without its window: one open file at a time, edited through its numbered
// working copy. Opening numbers the file's repeated keys into the working copy and loads a
// store on it; saving puts the store's lines back into the working copy's text, strips the
// numbers and replaces the target file in one atomic step, so every line the user did not
// edit keeps its bytes. A failed save leaves the user's file as it was, puts the edits
// into the working copy and keeps the file open for another try.
class IniEditSession
{
public:
    // Writes the saved file; replaceable so tests can make it fail.
    using Writer = std::function<platform::Status(const QString &path, QByteArrayView bytes)>;

    explicit IniEditSession(QString tempPath, Writer writer = {});
    ~IniEditSession();
    IniEditSession(const IniEditSession &) = delete;
    IniEditSession &operator=(const IniEditSession &) = delete;

    // "OrvaneSvc.TempIni" in the system's temporary folder, or in the program's folder when
    // the temporary folder does not exist.
    static QString defaultTempPath();

    const QString &tempPath() const { return m_tempPath; }
    bool isOpen() const { return m_store != nullptr; }
    const QString &filePath() const { return m_filePath; }
    bool isModified() const { return m_modified; }
    // The store on the working copy while a file is open, else nullptr.
    const TBiggerIniFile *store() const { return m_store.get(); }

    // Opens iniPath. A file is already open: an error (close it first). On failure nothing
    // is open and no working copy is left behind.
    platform::Status open(const QString &iniPath);

    // Writes one value through the store and sets the modified flag. False when nothing is
    // open or the store refuses the key or value.
    bool writeValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    // Changes the key of one line, keeping its value; sets the modified flag.
    bool renameKey(QByteArrayView section, int lineIndex, QByteArrayView newKey);

    // Saves to the opened file, or to another file (the opened one stays as it is). On
    // success the working copy is deleted and nothing is open any more.
    platform::Status save();
    platform::Status saveAs(const QString &path);

    // Drops the edits: the working copy is deleted whether a file is open or not.
    void discard();

private:
    platform::Status saveTo(const QString &path);

    QString m_tempPath;
    Writer m_writer;
    QString m_filePath;
    std::unique_ptr<TBiggerIniFile> m_store;
    // The working copy's text as the store was loaded from it.
    QByteArray m_numbered;
    bool m_modified = false;
};

} // namespace orv::tools
