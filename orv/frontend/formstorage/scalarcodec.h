// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The text forms in which the settings storage keeps single property values. Pure
// functions over values, so every rule can be tested without a window.
namespace orv::frontend {

enum class ScalarType { Integer, Char, Enumeration, Set, Float, String, Variant, ComponentReference };

// The type of a stored scalar and, for enumerations and sets, its identifiers in order
// (an enumeration's value is the index of its identifier, a set's is a bit mask with bit
// i for identifier i).
struct ScalarFormat
{
    ScalarType type = ScalarType::String;
    QStringList identifiers;
    int significantDigits = 15; // floating point: 7 single, 15 double, 18 extended, 19 currency

    static ScalarFormat integer() { return {ScalarType::Integer, {}, 15}; }
    static ScalarFormat string() { return {ScalarType::String, {}, 15}; }
    static ScalarFormat boolean()
    {
        return {ScalarType::Enumeration, {QStringLiteral("False"), QStringLiteral("True")}, 15};
    }
    static ScalarFormat enumeration(QStringList names) { return {ScalarType::Enumeration, std::move(names), 15}; }
    static ScalarFormat set(QStringList names) { return {ScalarType::Set, std::move(names), 15}; }
};

// Removes leading and trailing blanks and control characters.
QString trimScalarText(QStringView text);

// The text to store, already trimmed; nullopt when nothing is to be written (an empty text
// of any type but string and character). Component references are worded by the storage.
std::optional<QString> encodeScalar(const ScalarFormat &format, const QVariant &value);

// The value a stored text stands for; nullopt when the property must stay as it is
// (an enumeration text naming no identifier, a floating-point text that is no number).
// Integers that do not parse give 0; unknown set members are ignored.
std::optional<QVariant> decodeScalar(const ScalarFormat &format, QStringView text);

// Integers separated by commas or blanks, as "NormPos" holds them; a missing or bad
// number gives the fallback at its position.
QList<int> parseIntegerList(QStringView text, const QList<int> &fallback);

// Decimal text to integer; nullopt when it is not a number.
std::optional<qint64> parseDecimal(QStringView text);

} // namespace orv::frontend
