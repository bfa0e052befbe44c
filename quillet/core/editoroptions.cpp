// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/editoroptions.h"

#include "platform/registrystore.h"
#include "quillet/core/registry_access.h"
#include "quillet/core/unrealscriptsyn.h"

namespace quillet::core {

namespace {

QString numbered(const char *name, int slot)
{
    return QLatin1String(name) + QString::number(slot);
}

struct StyleFlag
{
    const char *name;
    std::uint8_t bit;
};
constexpr std::array<StyleFlag, 4> kStyleFlags = {{
    {"Bold", fsBold},
    {"Italic", fsItalic},
    {"Underline", fsUnderline},
    {"Strikeout", fsStrikeOut},
}};

} // namespace

platform::Status loadEditorOptions(const Registry_Access &registry, EditorOptions &options)
{
    for (int n = 0; n < kTokenStyleSlots; ++n) {
        TTokenStyle &slot = options.tokenStyles[static_cast<std::size_t>(n)];
        const auto foreground = registry.RegReadInteger(kQuillKey, numbered("Foreground", n));
        if (!foreground)
            return foreground.error();
        if (*foreground != 0)
            slot.Foreground = static_cast<TColor>(*foreground);
        const auto background = registry.RegReadInteger(kQuillKey, numbered("Background", n));
        if (!background)
            return background.error();
        if (*background != 0)
            slot.Background = static_cast<TColor>(*background);
        slot.Style = 0;
        for (const StyleFlag &flag : kStyleFlags) {
            const auto set = registry.RegReadInteger(kQuillKey, numbered(flag.name, n));
            if (!set)
                return set.error();
            if (*set != 0)
                slot.Style |= flag.bit;
        }
    }

    const auto fontSize = registry.RegReadInteger(kQuillKey, QStringLiteral("EditorFontSize"));
    if (!fontSize)
        return fontSize.error();
    options.EditorFontSize = *fontSize != 0 ? *fontSize : 10;
    const auto tabs = registry.RegReadInteger(kQuillKey, QStringLiteral("EditorTabTranslation"));
    if (!tabs)
        return tabs.error();
    options.EditorTabTranslation = *tabs != 0 ? *tabs : 2;
    const auto fontName = registry.RegReadString(kQuillKey, QStringLiteral("EditorFontName"));
    if (!fontName)
        return fontName.error();
    options.EditorFontName = !fontName->isEmpty() ? *fontName : QStringLiteral("Courier New");
    const auto sysDir = registry.RegReadString(kQuillKey, QStringLiteral("UTSysDir"));
    if (!sysDir)
        return sysDir.error();
    options.UTSysDir = !sysDir->isEmpty() ? *sysDir : QStringLiteral("c:\\UnrealTournament\\System");
    return {};
}

bool saveEditorOptions(Registry_Access &registry, const EditorOptions &options)
{
    // One file write for all 70 values instead of one per value.
    platform::RegistryStore::Batch batch(registry.store());
    bool ok = true;
    for (int n = 0; n < kTokenStyleSlots; ++n) {
        const TTokenStyle &slot = options.tokenStyles[static_cast<std::size_t>(n)];
        ok &= registry.RegWriteInteger(kQuillKey, numbered("Foreground", n), static_cast<int>(slot.Foreground));
        ok &= registry.RegWriteInteger(kQuillKey, numbered("Background", n), static_cast<int>(slot.Background));
        for (const StyleFlag &flag : kStyleFlags)
            ok &= registry.RegWriteInteger(kQuillKey, numbered(flag.name, n), (slot.Style & flag.bit) ? 1 : 0);
    }
    ok &= registry.RegWriteInteger(kQuillKey, QStringLiteral("EditorFontSize"), options.EditorFontSize);
    ok &= registry.RegWriteInteger(kQuillKey, QStringLiteral("EditorTabTranslation"), options.EditorTabTranslation);
    ok &= registry.RegWriteString(kQuillKey, QStringLiteral("EditorFontName"), options.EditorFontName);
    ok &= registry.RegWriteString(kQuillKey, QStringLiteral("UTSysDir"), options.UTSysDir);
    ok &= batch.commit().hasValue();
    return ok;
}

void applyTokenStyles(const EditorOptions &options, TUnrealScriptSyn &highlighter)
{
    const auto apply = [&options](TmwHighLightAttributes &attribute, int slot) {
        const TTokenStyle &style = options.tokenStyles[static_cast<std::size_t>(slot)];
        attribute.setForeground(style.Foreground);
        attribute.setBackground(style.Background);
        attribute.setStyle(style.Style);
    };
    apply(highlighter.CommentAttri(), 5);
    apply(highlighter.IdentifierAttri(), 6);
    apply(highlighter.KeyAttri(), 0);
    apply(highlighter.NumberAttri(), 8);
    apply(highlighter.SpaceAttri(), 2);
    apply(highlighter.StringAttri(), 10);
    apply(highlighter.SymbolAttri(), 9);
}

std::array<TTokenStyle, kTokenStyleSlots> firstRunTokenStyles()
{
    constexpr TColor kBlack = 0x000000;
    constexpr TColor kWhite = 0xFFFFFF;
    constexpr TColor kNavy = 0x800000;
    constexpr TColor kGreen = 0x008000;
    constexpr TColor kPurple = 0x800080;
    constexpr TColor kMaroon = 0x000080;
    constexpr TColor kTeal = 0x808000;
    std::array<TTokenStyle, kTokenStyleSlots> tokenStyles{};
    for (TTokenStyle &slot : tokenStyles)
        slot = TTokenStyle{kBlack, kWhite, 0};
    tokenStyles[0] = TTokenStyle{kNavy, kWhite, fsBold};
    tokenStyles[5] = TTokenStyle{kGreen, kWhite, fsItalic};
    tokenStyles[8] = TTokenStyle{kPurple, kWhite, 0};
    tokenStyles[9] = TTokenStyle{kMaroon, kWhite, 0};
    tokenStyles[10] = TTokenStyle{kTeal, kWhite, 0};
    return tokenStyles;
}

} // namespace quillet::core
