// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "orv/frontend/formstorage/scalarcodec.h"

using namespace orv::frontend;

namespace {

const ScalarFormat kFontStyle = ScalarFormat::set({QStringLiteral("fsBold"), QStringLiteral("fsItalic"),
                                                   QStringLiteral("fsUnderline"), QStringLiteral("fsStrikeOut")});
const ScalarFormat kViewStyle = ScalarFormat::enumeration(
    {QStringLiteral("vsIcon"), QStringLiteral("vsSmallIcon"), QStringLiteral("vsList"), QStringLiteral("vsReport")});

} // namespace

TEST(ScalarCodec, EncodesEachTypeTrimmedAndSkipsEmptyNonText)
{
    const struct
    {
        const char *name;
        ScalarFormat format;
        QVariant value;
        std::optional<QString> expected;
    } cases[] = {
        {"integer", ScalarFormat::integer(), QVariant(-42), QStringLiteral("-42")},
        {"64-bit integer", ScalarFormat::integer(), QVariant(qint64(1) << 40), QStringLiteral("1099511627776")},
        {"boolean", ScalarFormat::boolean(), QVariant(1), QStringLiteral("True")},
        {"enumeration", kViewStyle, QVariant(3), QStringLiteral("vsReport")},
        {"enumeration out of range", kViewStyle, QVariant(9), std::nullopt},
        {"empty set", kFontStyle, QVariant(quint64(0)), QStringLiteral("[]")},
        {"set", kFontStyle, QVariant(quint64(1 | 2 | 8)), QStringLiteral("[fsBold,fsItalic,fsStrikeOut]")},
        {"string trimmed", ScalarFormat::string(), QVariant(QStringLiteral("\t  Player One \r\n")),
         QStringLiteral("Player One")},
        {"empty string written", ScalarFormat::string(), QVariant(QString()), QString()},
        {"empty variant not written", ScalarFormat{ScalarType::Variant, {}, 15}, QVariant(QStringLiteral("  ")),
         std::nullopt},
        {"char", ScalarFormat{ScalarType::Char, {}, 15}, QVariant(QStringLiteral("xyz")), QStringLiteral("x")},
        {"double", ScalarFormat{ScalarType::Float, {}, 15}, QVariant(1.5), QStringLiteral("1.5")},
        {"double exponent", ScalarFormat{ScalarType::Float, {}, 15}, QVariant(1e20), QStringLiteral("1E+20")},
        {"single precision", ScalarFormat{ScalarType::Float, {}, 7}, QVariant(1.0 / 3.0), QStringLiteral("0.3333333")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(encodeScalar(c.format, c.value), c.expected) << c.name;
}

TEST(ScalarCodec, DecodesStoredTextTheWayItWasMeant)
{
    const struct
    {
        const char *name;
        ScalarFormat format;
        const char *text;
        std::optional<QVariant> expected;
    } cases[] = {
        {"integer", ScalarFormat::integer(), " 15 ", QVariant(qint64(15))},
        {"integer garbage is 0", ScalarFormat::integer(), "12abc", QVariant(qint64(0))},
        {"empty integer is 0", ScalarFormat::integer(), "", QVariant(qint64(0))},
        {"boolean any case", ScalarFormat::boolean(), "tRuE", QVariant(1)},
        {"enumeration any case", kViewStyle, "VSREPORT", QVariant(3)},
        {"unknown enumeration keeps the property", kViewStyle, "vsDetails", std::nullopt},
        {"set with blanks", kFontStyle, "[fsBold, fsItalic]", QVariant(quint64(3))},
        {"set without brackets", kFontStyle, "fsUnderline fsbold", QVariant(quint64(5))},
        {"set ignores unknown words", kFontStyle, "[fsBold,fsShadow]", QVariant(quint64(1))},
        {"empty set", kFontStyle, "[]", QVariant(quint64(0))},
        {"float with point", ScalarFormat{ScalarType::Float, {}, 15}, "2.25", QVariant(2.25)},
        {"float with comma is no number", ScalarFormat{ScalarType::Float, {}, 15}, "2,25", std::nullopt},
        {"char", ScalarFormat{ScalarType::Char, {}, 15}, " ab", QVariant(QStringLiteral("a"))},
        {"string trimmed of control characters", ScalarFormat::string(), "\x01 text \x7f",
         QVariant(QStringLiteral("text"))},
    };
    for (const auto &c : cases) {
        const std::optional<QVariant> got = decodeScalar(c.format, QString::fromLatin1(c.text));
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.name;
        if (got) {
            EXPECT_EQ(*got, *c.expected) << c.name;
        }
    }
}

TEST(ScalarCodec, ParsesPositionListsWithFallbacks)
{
    const QList<int> fallback{10, 20, 30, 40};
    const struct
    {
        const char *text;
        QList<int> expected;
    } cases[] = {
        {"1,2,3,4", {1, 2, 3, 4}},
        {"1, 2 ,3 4", {1, 2, 3, 4}},
        {"-1,-1,-1,-1", {-1, -1, -1, -1}},
        {"5,6", {5, 6, 30, 40}},
        {"", {10, 20, 30, 40}},
        {"1,x,3,4", {1, 20, 3, 4}},
        {"1,,3,4", {1, 3, 4, 40}},
        {"99999999999,2,3,4", {10, 2, 3, 4}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseIntegerList(QString::fromLatin1(c.text), fallback), c.expected) << c.text;
}
