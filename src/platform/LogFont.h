#pragma once

#include <QFont>
#include <QString>
#include <array>
#include <cstdint>

class Archive;

// A font description in the original platform's terms. Heights are in logical units of the
// device the font is drawn on: negative for the character height (em), positive for the cell
// height (ascent + descent), 0 for a default size. Escapement and orientation are tenths of a
// degree; weight 400 is normal and 700 bold.
struct LogFont
{
    int lfHeight = 0;
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    // 8-bit face name, NUL-terminated inside the 32 bytes. The bytes after the terminator are
    // kept: the record copies all 32.
    std::array<char, 32> lfFaceName{};

    static constexpr uint8_t ANSI_CHARSET = 0;
    static constexpr uint8_t DEFAULT_CHARSET = 1;
    static constexpr uint8_t SYMBOL_CHARSET = 2;
    static constexpr int FW_NORMAL = 400;
    static constexpr int FW_BOLD = 700;

    bool operator==(const LogFont&) const = default;

    QString faceName() const;
    // Truncated to 31 bytes (Latin-1); the rest of the field is zero-filled.
    void setFaceName(const QString& face);

    // The stored record, 50 bytes: height, width, escapement, orientation and weight as 16-bit
    // values (low 16 bits written, sign-extended on load), the eight bytes italic .. pitch and
    // family, then the 32 bytes of the face name. A short record raises an end-of-file
    // ArchiveException.
    static constexpr int recordSize = 50;
    void write(Archive& ar) const;
    void read(Archive& ar);
    void serialize(Archive& ar); // write or read, as the archive is storing or loading

    // A QFont whose em or cell is `pixelHeight` device pixels high (the height already mapped;
    // its sign keeps the meaning of lfHeight's sign). Escapement is not applied: the device
    // context turns the text. Faces the machine lacks are substituted by fontconfig.
    QFont toQFont(double pixelHeight) const;
    // The same with the height taken as device pixels (logical = device).
    QFont toQFont() const { return toQFont(lfHeight); }

    static LogFont fromFace(const QString& face, int height, int weight = FW_NORMAL);
};
