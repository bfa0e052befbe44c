// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "orv/frontend/formstorage/scalarcodec.h"

using namespace orv::frontend;

namespace {

const ScalarSpec kFontStyle = ScalarSpec::set({QStringLiteral("fsBold"), QStringLiteral("fsItalic"),
                                               QStringLiteral("fsUnderline"), QStringLiteral("fsStrikeOut")});
const ScalarSpec kViewStyle = ScalarSpec::enumeration(
    {QStringLiteral("vsIcon"), QStringLiteral("vsSmallIcon"), QStringLiteral("vsList"), QStringLiteral("vsReport")});

} // namespace

TEST(ScalarCodec, EncodesEachTypeTrimmedAndSkipsEmptyNonText)
{
    const struct
    {
        const char *name;
        ScalarSpec spec;
        QVariant value;
        std::optional<QString> expected;
    } cases[] = {
        {"integer", ScalarSpec::integer(), QVariant(-42), QStringLiteral("-42")},
        {"64-bit integer", ScalarSpec::integer(), QVariant(qint64(1) << 40), QStringLiteral("1099511627776")},
        {"boolean", ScalarSpec::boolean(), QVariant(1), QStringLiteral("True")},
        {"enumeration", kViewStyle, QVariant(3), QStringLiteral("vsReport")},
        {"enumeration out of range", kViewStyle, QVariant(9), std::nullopt},
        {"empty set", kFontStyle, QVariant(quint64(0)), QStringLiteral("[]")},
        {"set", kFontStyle, QVariant(quint64(1 | 2 | 8)), QStringLiteral("[fsBold,fsItalic,fsStrikeOut]")},
        {"string trimmed", ScalarSpec::string(), QVariant(QStringLiteral("\t  Player One \r\n")),
         QStringLiteral("Player One")},
        {"empty string written", ScalarSpec::string(), QVariant(QString()), QString()},
        {"empty variant not written", ScalarSpec{ScalarType::Variant, {}, 15}, QVariant(QStringLiteral("  ")),
         std::nullopt},
        {"char", ScalarSpec{ScalarType::Char, {}, 15}, QVariant(QStringLiteral("xyz")), QStringLiteral("x")},
        {"double", ScalarSpec{ScalarType::Float, {}, 15}, QVariant(1.5), QStringLiteral("1.5")},
        {"double exponent", ScalarSpec{ScalarType::Float, {}, 15}, QVariant(1e20), QStringLiteral("1E+20")},
        {"single precision", ScalarSpec{ScalarType::Float, {}, 7}, QVariant(1.0 / 3.0), QStringLiteral("0.3333333")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(encodeScalar(c.spec, c.value), c.expected) << c.name;
}

TEST(ScalarCodec, DecodesStoredTextTheWayItWasMeant)
{
    const struct
    {
        const char *name;
        ScalarSpec spec;
        const char *text;
        std::optional<QVariant> expected;
    } cases[] = {
        {"integer", ScalarSpec::integer(), " 15 ", QVariant(qint64(15))},
        {"integer garbage is 0", ScalarSpec::integer(), "12abc", QVariant(qint64(0))},
        {"empty integer is 0", ScalarSpec::integer(), "", QVariant(qint64(0))},
        {"boolean any case", ScalarSpec::boolean(), "tRuE", QVariant(1)},
        {"enumeration any case", kViewStyle, "VSREPORT", QVariant(3)},
        {"unknown enumeration keeps the property", kViewStyle, "vsDetails", std::nullopt},
        {"set with blanks", kFontStyle, "[fsBold, fsItalic]", QVariant(quint64(3))},
        {"set without brackets", kFontStyle, "fsUnderline fsbold", QVariant(quint64(5))},
        {"set ignores unknown words", kFontStyle, "[fsBold,fsShadow]", QVariant(quint64(1))},
        {"empty set", kFontStyle, "[]", QVariant(quint64(0))},
        {"float with point", ScalarSpec{ScalarType::Float, {}, 15}, "2.25", QVariant(2.25)},
        {"float with comma is no number", ScalarSpec{ScalarType::Float, {}, 15}, "2,25", std::nullopt},
        {"char", ScalarSpec{ScalarType::Char, {}, 15}, " ab", QVariant(QStringLiteral("a"))},
        {"string trimmed of control characters", ScalarSpec::string(), "\x01 text \x7f",
         QVariant(QStringLiteral("text"))},
    };
    for (const auto &c : cases) {
        const std::optional<QVariant> got = decodeScalar(c.spec, QString::fromLatin1(c.text));
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
