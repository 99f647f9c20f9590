#pragma once

#include "platform/Installed.h"
#include "platform/LogFont.h"
#include "platform/PenRecord.h"

class QWidget;

// The font chooser on a description whose height is in thousandths of an inch (converted to
// screen pixels for the dialog and back); on OK font, color and pointSizeTenths take the choice.
bool chooseFont(LogFont& font, ColorRef& color, int& pointSizeTenths, QWidget* parent);

// What chooseFont asks. With none installed it shows FontChooserDialog; tests install
// scripted ones (FontChooserScope).
class FontChooser
{
public:
    virtual ~FontChooser() = default;
    // Same contract as chooseFont.
    virtual bool choose(LogFont& font, ColorRef& color, int& pointSizeTenths, QWidget* parent) = 0;

    static FontChooser* instance() { return Installed<FontChooser>::get(); }
    static FontChooser* setInstance(FontChooser* chooser)
    {
        return Installed<FontChooser>::install(chooser);
    }
};
using FontChooserScope = Installed<FontChooser>::Scope;

// Font heights between thousandths of an inch and pixels of a device with `dpi` pixels per
// inch: to pixels rounded to nearest (halves away from zero), back truncated toward zero.
int fontHeightToPixels(int thousandths, int dpi);
int fontHeightFromPixels(int pixels, int dpi);
// The screen's vertical pixels per inch, as fonts are measured on it.
int screenFontDpi();
