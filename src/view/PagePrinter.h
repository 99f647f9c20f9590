#pragma once

#include <QList>
#include <QPointF>
#include <QSizeF>

class QPainter;
class QPrinter;
class PlotDocument;
class visibleobject;

// Prints the page of a document on any paint device: every object's Print in list order, with
// the page origin at the bottom-left of the device and one logical unit 0.001 inch at the
// device's resolution. The view scale, the page outline and the selection never print.
// The painter must be active; its device's height places the page origin.
void printPage(PlotDocument& doc, QPainter& painter, int dpiX, int dpiY);
// The same for some objects of the page, in their order, with the page point `origin` (inches
// from the page's bottom-left corner) at the bottom-left of the device.
void printObjects(const QList<visibleobject*>& objects, QPainter& painter, int dpiX, int dpiY,
                  QPointF origin);

// The program's printer: the default printer at first, changed by Print Setup; full-page
// measuring. When the machine has no printer it prints to a PDF file with a 9 x 7 inch page
// (landscape), which Print Setup may change like a printer's.
QPrinter& programPrinter();
// True when the program's printer is a real printer (not the PDF file stand-in).
bool programHasPrinter();
// The page of the program's printer in inches as it is set up: its full paper, width by
// height. The one source of the page size, for the views, printing and export alike.
QSizeF programPageInches();
