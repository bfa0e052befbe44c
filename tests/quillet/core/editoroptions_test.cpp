// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/editoroptions.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/registrystore.h"
#include "quillet/core/registry_access.h"
#include "quillet/core/unrealscriptsyn.h"

using namespace quillet::core;

namespace {

class EditorOptionsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    platform::RegistryStore store{platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("hkcu.reg"))};
    Registry_Access registry{store};
};

EditorOptions sampleOptions()
{
    EditorOptions options;
    for (int n = 0; n < kTokenStyleSlots; ++n)
        options.tokenStyles[static_cast<std::size_t>(n)] =
            TTokenStyle{static_cast<TColor>(0x010203 * (n + 1)), static_cast<TColor>(0xFF0000 - n),
                        static_cast<std::uint8_t>(n % 16)};
    options.EditorFontName = QStringLiteral("DejaVu Sans Mono");
    options.EditorFontSize = 12;
    options.EditorTabTranslation = 4;
    options.UTSysDir = QStringLiteral("d:\\Games\\UT\\System");
    return options;
}

} // namespace

TEST_F(EditorOptionsTest, RegistryAccessReadsMissingAsZeroAndEmpty)
{
    EXPECT_FALSE(registry.RegKeyExists(kQuillKey));
    const auto number = registry.RegReadInteger(kQuillKey, QStringLiteral("EditorFontSize"));
    ASSERT_TRUE(number.hasValue());
    EXPECT_EQ(*number, 0);
    const auto text = registry.RegReadString(kQuillKey, QStringLiteral("BuildCommand"));
    ASSERT_TRUE(text.hasValue());
    EXPECT_TRUE(text->isEmpty());
    // Reading never creates the key.
    EXPECT_FALSE(registry.RegKeyExists(kQuillKey));

    EXPECT_TRUE(registry.RegWriteInteger(kQuillKey, QStringLiteral("Foreground0"), 0x800000));
    EXPECT_TRUE(registry.RegKeyExists(kQuillKey));
    EXPECT_TRUE(registry.RegKeyExists(QStringLiteral("Software\\Quill")));
    EXPECT_EQ(*registry.RegReadInteger(kQuillKey, QStringLiteral("foreground0")), 0x800000);
}

TEST_F(EditorOptionsTest, SavesTheDocumentedValueNamesAndTypes)
{
    EditorOptions options = sampleOptions();
    options.tokenStyles[3].Style = fsBold | fsStrikeOut;
    ASSERT_TRUE(saveEditorOptions(registry, options));

    const QStringList names = store.valueNames(QStringLiteral("Software\\Quill"));
    EXPECT_EQ(names.size(), 11 * 6 + 4);
    for (int n = 0; n < kTokenStyleSlots; ++n) {
        for (const char *prefix : {"Foreground", "Background", "Bold", "Italic", "Underline", "Strikeout"}) {
            const QString name = QLatin1String(prefix) + QString::number(n);
            EXPECT_EQ(store.valueType(kQuillKey, name), platform::RegistryValueType::DWord) << name.toStdString();
        }
    }
    EXPECT_EQ(store.value(kQuillKey, QStringLiteral("Bold3"))->dword, 1u);
    EXPECT_EQ(store.value(kQuillKey, QStringLiteral("Strikeout3"))->dword, 1u);
    EXPECT_EQ(store.value(kQuillKey, QStringLiteral("Italic3"))->dword, 0u);
    EXPECT_EQ(store.value(kQuillKey, QStringLiteral("Foreground10"))->dword, 0x010203u * 11);
    EXPECT_EQ(store.value(kQuillKey, QStringLiteral("EditorFontSize"))->dword, 12u);
    EXPECT_EQ(store.value(kQuillKey, QStringLiteral("EditorTabTranslation"))->dword, 4u);
    EXPECT_EQ(store.value(kQuillKey, QStringLiteral("EditorFontName"))->text, QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(store.value(kQuillKey, QStringLiteral("UTSysDir"))->text, QStringLiteral("d:\\Games\\UT\\System"));
}

TEST_F(EditorOptionsTest, RoundTripsThroughTheStore)
{
    const EditorOptions saved = sampleOptions();
    ASSERT_TRUE(saveEditorOptions(registry, saved));
    EditorOptions loaded;
    ASSERT_TRUE(loadEditorOptions(registry, loaded).hasValue());
    EXPECT_EQ(loaded, saved);
}

TEST_F(EditorOptionsTest, ClearedStyleStaysClearedAfterReload)
{
    EditorOptions options = sampleOptions();
    options.tokenStyles[0].Style = fsBold;
    ASSERT_TRUE(saveEditorOptions(registry, options));
    options.tokenStyles[0].Style = 0;
    ASSERT_TRUE(saveEditorOptions(registry, options));
    EditorOptions loaded;
    loaded.tokenStyles[0].Style = fsBold | fsItalic; // stale in-memory style must not survive
    ASSERT_TRUE(loadEditorOptions(registry, loaded).hasValue());
    EXPECT_EQ(loaded.tokenStyles[0].Style, 0);
}

TEST_F(EditorOptionsTest, MissingValuesFallBackToDefaults)
{
    // The key exists but holds nothing: zero colours keep what the slots had.
    ASSERT_TRUE(store.createKey(kQuillKey).hasValue());
    EditorOptions options;
    options.tokenStyles[2] = TTokenStyle{0x123456, 0x654321, fsItalic};
    ASSERT_TRUE(loadEditorOptions(registry, options).hasValue());
    EXPECT_EQ(options.tokenStyles[2].Foreground, 0x123456u);
    EXPECT_EQ(options.tokenStyles[2].Background, 0x654321u);
    EXPECT_EQ(options.tokenStyles[2].Style, 0);
    EXPECT_EQ(options.EditorFontSize, 10);
    EXPECT_EQ(options.EditorTabTranslation, 2);
    EXPECT_EQ(options.EditorFontName, QStringLiteral("Courier New"));
    EXPECT_EQ(options.UTSysDir, QStringLiteral("c:\\UnrealTournament\\System"));
}

TEST_F(EditorOptionsTest, WrongValueTypeStopsLoadingWithItsName)
{
    ASSERT_TRUE(store.setDWord(kQuillKey, QStringLiteral("Foreground0"), 0x0000FF).hasValue());
    ASSERT_TRUE(store.setString(kQuillKey, QStringLiteral("Background1"), QStringLiteral("blue")).hasValue());
    ASSERT_TRUE(store.setDWord(kQuillKey, QStringLiteral("Foreground2"), 0x00FF00).hasValue());
    EditorOptions options;
    const platform::Status loaded = loadEditorOptions(registry, options);
    ASSERT_FALSE(loaded.hasValue());
    EXPECT_EQ(loaded.error().message, QStringLiteral("Invalid data type for 'Background1'"));
    EXPECT_EQ(options.tokenStyles[0].Foreground, 0x0000FFu); // read before the bad value
    EXPECT_EQ(options.tokenStyles[2].Foreground, 0u);        // never reached
    EXPECT_EQ(options.EditorFontSize, 0);

    ASSERT_TRUE(store.deleteValue(kQuillKey, QStringLiteral("Background1")).hasValue());
    ASSERT_TRUE(store.setDWord(kQuillKey, QStringLiteral("EditorFontName"), 3).hasValue());
    const platform::Status second = loadEditorOptions(registry, options);
    ASSERT_FALSE(second.hasValue());
    EXPECT_EQ(second.error().message, QStringLiteral("Invalid data type for 'EditorFontName'"));
}

TEST(EditorOptions, AppliesSlotsToTheirAttributes)
{
    EditorOptions options;
    for (int n = 0; n < kTokenStyleSlots; ++n)
        options.tokenStyles[static_cast<std::size_t>(n)] =
            TTokenStyle{static_cast<TColor>(n + 1), static_cast<TColor>(0x100 * (n + 1)), static_cast<std::uint8_t>(n)};
    TUnrealScriptSyn syn;
    applyTokenStyles(options, syn);
    const std::vector<std::pair<TmwHighLightAttributes *, int>> expected = {
        {&syn.KeyAttri(), 0},    {&syn.SpaceAttri(), 2},  {&syn.CommentAttri(), 5}, {&syn.IdentifierAttri(), 6},
        {&syn.NumberAttri(), 8}, {&syn.SymbolAttri(), 9}, {&syn.StringAttri(), 10},
    };
    for (const auto &[attribute, slot] : expected) {
        EXPECT_EQ(attribute->foreground(), static_cast<TColor>(slot + 1)) << attribute->name();
        EXPECT_EQ(attribute->background(), static_cast<TColor>(0x100 * (slot + 1))) << attribute->name();
        EXPECT_EQ(attribute->style(), slot & 15) << attribute->name();
    }
    EXPECT_EQ(syn.AsmAttri().foreground(), clNone);
    EXPECT_EQ(syn.DirectiveAttri().foreground(), clNone);
}

TEST(EditorOptions, FirstRunSchemeIsReadable)
{
    for (const TTokenStyle &style : firstRunTokenStyles())
        EXPECT_NE(style.Foreground, style.Background);
}
