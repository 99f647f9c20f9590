#pragma once

#include <QString>

// The symbol fonts of the original platform (Wingdings, Symbol) are absent on Linux, and
// fontconfig would quietly draw their character codes as letters ("l" for the Wingdings dot).
// Their codes are turned into the Unicode characters they show and drawn with a font that has
// them.
class SymbolFont
{
public:
    enum class Kind { none, symbol, wingdings };

    // Which table a face name calls for (case-insensitive; "Wingdings 2" and "Wingdings 3"
    // share the Wingdings table as the nearest stand-in).
    static Kind kindOf(const QString& faceName);
    // The character shown for a code 32..255 (codes 0xF020..0xF0FF, the fonts' private-use
    // aliases, too); 0 for a code the font leaves blank or outside the range.
    static char32_t toUnicode(Kind kind, uint32_t code);
    // Maps every character of text; blanks become spaces, characters above 255 stay as they are.
    static QString mapText(Kind kind, const QString& text);
    // A family that has the mapped characters.
    static QString drawingFamily() { return QStringLiteral("DejaVu Sans"); }
};
