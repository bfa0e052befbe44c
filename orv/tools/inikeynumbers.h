// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The numbered copy of an INI file. A key/value store finds only the first of several
// lines with one key, so before editing, every repeated key gets a prefix of a number and
// "." that makes it unique in its section; saving takes the prefixes off again. Both
// functions copy every other byte as it is, line ends included.
namespace orv::tools {

// Within a run of lines with the same key, the second and later lines get the prefix
// "<counter>." where the counter starts at 1 at every section line and every blank line
// and goes up by one per prefixed line (a=1, a=2, b=1, b=2 become a=1, 2.a=2, b=1, 3.b=2).
// On top of that, within a section a key line is prefixed too (with the counter moved on
// until the key is new) when its key, compared without regard to case, appeared in the
// section before, so no two key lines of a section share a key; and a line whose own text
// already starts with digits and "." is prefixed so that stripping gives it back intact.
QByteArray numberDuplicateKeys(QByteArrayView text);

// Takes a leading "digits." off the key of every line that is neither blank nor a
// section line. stripKeyNumbers(numberDuplicateKeys(x)) == x for every x.
QByteArray stripKeyNumbers(QByteArrayView text);

} // namespace orv::tools
