#pragma once

#include <QString>

// The program's texts, keyed by their resource ids. Every user-visible text comes from here.
namespace Str {
enum Id : int {
    // Dialog data exchange
    ParseInt = 0xF110,       // "Please enter an integer."
    ParseReal = 0xF111,      // "Please enter a number."
    ParseIntRange = 0xF112,  // "Please enter an integer between %1 and %2."
    ParseRealRange = 0xF113, // "Please enter a number between %1 and %2."
    ParseUInt = 0xF117,      // "Please enter a positive integer."
    // Unit captions
    UnitsCm = 131,   // " (cm):"
    UnitsInch = 132, // " (in.):"
};
} // namespace Str

// The text with this id; an empty string for an unknown id.
QString loadString(int id);
// The text with %1, %2 ... replaced by the arguments (like the framework's message formatting).
QString formatString(int id, const QString& arg1);
QString formatString(int id, const QString& arg1, const QString& arg2);
