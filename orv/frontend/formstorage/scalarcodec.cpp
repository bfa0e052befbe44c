// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/formstorage/scalarcodec.h"

#include <climits>
#include <cmath>

#include <QLocale>
#include <QRegularExpression>

namespace orv::frontend {

namespace {

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20 || c.unicode() == 0x7f;
}

QString formatFloat(double value, int digits)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // General format with "." and an exponent written as E+n / E-n without padding.
    QString text = QString::number(value, 'g', digits);
    const qsizetype e = text.indexOf(u'e');
    if (e < 0)
        return text;
    QString mantissa = text.left(e);
    QString exponent = text.mid(e + 1);
    const QChar sign = exponent.at(0);
    exponent.remove(0, 1);
    while (exponent.size() > 1 && exponent.startsWith(u'0'))
        exponent.remove(0, 1);
    return mantissa + u'E' + (sign == u'-' ? QStringLiteral("-") : QStringLiteral("+")) + exponent;
}

} // namespace

QString trimScalarText(QStringView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlankOrControl(text.at(b)))
        ++b;
    while (e > b && isBlankOrControl(text.at(e - 1)))
        --e;
    return text.sliced(b, e - b).toString();
}

std::optional<qint64> parseDecimal(QStringView text)
{
    const QString t = trimScalarText(text);
    bool ok = false;
    const qint64 v = t.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<QString> encodeScalar(const ScalarFormat &format, const QVariant &value)
{
    QString text;
    switch (format.type) {
    case ScalarType::Integer:
        text = QString::number(value.toLongLong());
        break;
    case ScalarType::Char: {
        const QString s = value.toString();
        text = s.left(1);
        break;
    }
    case ScalarType::Enumeration: {
        const int index = value.toInt();
        if (index < 0 || index >= format.identifiers.size())
            return std::nullopt;
        text = format.identifiers.at(index);
        break;
    }
    case ScalarType::Set: {
        const quint64 mask = value.toULongLong();
        QStringList members;
        for (int i = 0; i < format.identifiers.size() && i < 64; ++i)
            if (mask & (quint64(1) << i))
                members.append(format.identifiers.at(i));
        text = u'[' + members.join(u',') + u']';
        break;
    }
    case ScalarType::Float:
        text = formatFloat(value.toDouble(), format.significantDigits);
        break;
    case ScalarType::String:
    case ScalarType::Variant:
    case ScalarType::ComponentReference:
        text = value.toString();
        break;
    }
    text = trimScalarText(text);
    if (text.isEmpty() && format.type != ScalarType::String && format.type != ScalarType::Char)
        return std::nullopt;
    return text;
}

std::optional<QVariant> decodeScalar(const ScalarFormat &format, QStringView raw)
{
    const QString text = trimScalarText(raw);
    switch (format.type) {
    case ScalarType::Integer:
        return QVariant(parseDecimal(text).value_or(0));
    case ScalarType::Char:
        return QVariant(text.isEmpty() ? QString() : text.left(1));
    case ScalarType::Enumeration:
        for (int i = 0; i < format.identifiers.size(); ++i)
            if (format.identifiers.at(i).compare(text, Qt::CaseInsensitive) == 0)
                return QVariant(i);
        return std::nullopt;
    case ScalarType::Set: {
        quint64 mask = 0;
        const QStringList words = text.split(QRegularExpression(QStringLiteral("[\\s,\\[\\]]+")), Qt::SkipEmptyParts);
        for (const QString &word : words)
            for (int i = 0; i < format.identifiers.size() && i < 64; ++i)
                if (format.identifiers.at(i).compare(word, Qt::CaseInsensitive) == 0)
                    mask |= quint64(1) << i;
        return QVariant(mask);
    }
    case ScalarType::Float: {
        bool ok = false;
        const double v = QLocale::c().toDouble(text, &ok);
        if (!ok)
            return std::nullopt;
        return QVariant(v);
    }
    case ScalarType::String:
    case ScalarType::Variant:
    case ScalarType::ComponentReference:
        return QVariant(text);
    }
    return std::nullopt;
}

QList<int> parseIntegerList(QStringView text, const QList<int> &fallback)
{
    // Runs of commas and blanks separate words, so an empty field between two commas
    // does not count as a word.
    QList<int> result = fallback;
    const QList<QStringView> words = text.split(QRegularExpression(QStringLiteral("[, ]+")), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size() && i < result.size(); ++i) {
        const auto v = parseDecimal(words.at(i));
        if (v && *v >= INT_MIN && *v <= INT_MAX)
            result[i] = int(*v);
    }
    return result;
}

} // namespace orv::frontend
