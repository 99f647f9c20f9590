#include "platform/ui/FontChooser.h"

#include "platform/ui/FontChooserDialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

int fontHeightToPixels(int thousandths, int dpi)
{
    return int(std::llround(double(thousandths) * dpi / 1000.0));
}

int fontHeightFromPixels(int pixels, int dpi)
{
    if (dpi <= 0)
        return 0;
    return int((long long)pixels * 1000 / dpi);
}

int screenFontDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? int(std::lround(screen->logicalDotsPerInchY())) : 0;
    return dpi > 0 ? dpi : 96;
}

bool chooseFont(LogFont& font, ColorRef& color, int& pointSizeTenths, QWidget* parent)
{
    if (FontChooser* chooser = FontChooser::instance())
        return chooser->choose(font, color, pointSizeTenths, parent);

    const int dpi = screenFontDpi();
    LogFont onScreen = font;
    onScreen.lfHeight = fontHeightToPixels(font.lfHeight, dpi);
    FontChooserDialog dialog(onScreen, color, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    LogFont chosen = dialog.chosenFont();
    chosen.lfHeight = fontHeightFromPixels(chosen.lfHeight, dpi);
    font = chosen;
    color = dialog.chosenColor();
    pointSizeTenths = dialog.chosenPointSize();
    return true;
}
