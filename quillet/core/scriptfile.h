// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include "platform/result.h"

namespace quillet::core {

enum class ScriptFileError { CannotOpen = 1, CannotCreate = 2 };

// Every TAB byte replaced by exactly `spaces` blanks, without regard to tab stops. With no
// tab translation (0 or less) the text is returned unchanged rather than losing its TABs.
QByteArray convertTabs(const QByteArray &text, int spaces);

// A script as the editor shows it; readOnly when the file may only be viewed.
struct ScriptText
{
    QByteArray text;
    bool readOnly = false;
};

// True for an existing file that the user cannot write, or whose permissions allow nobody to
// write it (such a file stays read-only for an administrator too, who could write it anyway).
bool isReadOnlyFile(const QString &path);

// Reads a script file and widens its TABs. When that changed the text, the converted text is
// written back (as writeScriptFile writes), so the file on disk matches the editor; a file without TABs is
// never written. A read-only file, or one whose write-back fails, is left as it was and
// comes back marked readOnly, with the converted text for viewing. Error code CannotOpen
// when the file cannot be read.
platform::Result<ScriptText> prepareScriptFile(const QString &path, int tabTranslation);

// Writes the editor's lines with CR LF after each, atomically where the folder takes a
// temporary file, else straight into the file. A read-only file is not replaced. Error code
// CannotCreate, with the reason as message.
platform::Status writeScriptFile(const QString &path, const QByteArray &text);

// What tells two names of one file apart from names of two files: the canonical path when the
// file exists (links and "..", resolved), else the cleaned absolute path.
QString fileIdentity(const QString &path);

// What the disk says about a file, to notice that another program changed it.
struct DiskStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;

    friend bool operator==(const DiskStamp &, const DiskStamp &) = default;
};
DiskStamp diskStampOf(const QString &path);

// A file name that has never been saved: a bare "UntitledN.uc" without any folder.
bool isUnsavedName(const QString &fileName);

} // namespace quillet::core
