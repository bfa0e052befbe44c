// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "platform/result.h"

// Checker script files (".ovs"): 8-bit text, one stored script line per text line, CR LF
// after every line, no header.
namespace orv::checker::scriptfile {

// Limits for reading, generous for any script the editor can build (255 expressions with
// their operators and blocks stay under 800 lines) and small enough that a wrong file
// chosen by mistake is refused at once instead of filling the editor.
constexpr qint64 kMaxFileBytes = 1024 * 1024;
constexpr int kMaxLines = 4096;
constexpr int kMaxLineBytes = 1024;
// The longest value the editor takes: the expression line "-," + Arg + "," + Rule + "," +
// Value with the longest argument ("PlayersBalanceTeams") and rule still fits a line.
constexpr int kMaxValueLength = kMaxLineBytes - 25;

enum class ReadError {
    Unreadable = 1, // missing, unreadable, or larger than kMaxFileBytes
    TooManyLines,
    LineTooLong,
    Binary // a control character other than tab, or a zero byte
};

constexpr const char *kDialogFilter = "Orvane script|*.ovs";
constexpr const char *kExtension = "ovs";
constexpr const char *kDefaultFileName = "default";

// The script lines of a file's bytes. CR, LF and CR LF end lines; a last line needs no
// line end. Commands are not checked here: unknown words are kept as lines, which the
// syntax check passes over and the evaluation carries through unchanged. Refused files give an Error whose code is a
// ReadError and whose message names the limit and the line.
platform::Result<QStringList> parse(QByteArrayView bytes);
platform::Result<QStringList> read(const QString &path);

QByteArray serialize(const QStringList &lines);
// Replaces the file atomically; characters outside Latin-1 are written as '?'.
platform::Status write(const QString &path, const QStringList &lines);

// What writing the lines would do to them, so an export can be refused or confirmed first.
struct WriteCheck
{
    // Why the file could not be read back (too many lines, a line too long, a line break
    // or other control character inside a line); empty when it could.
    QString refusal;
};
WriteCheck checkWrite(const QStringList &lines);

} // namespace orv::checker::scriptfile
