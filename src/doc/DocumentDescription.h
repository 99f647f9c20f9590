#pragma once

#include <QJsonObject>
#include <QString>

class QTextStream;
class PlotDocument;

// A description of a document for scripts and tests, in page order:
//   objects     every page object: class, name, x, y (inches); axes add length, angle, start,
//               end, log, autoRange, title and ticks; traces add dataFile, xColumn, yColumn,
//               points, xAxis and yAxis (names), and memory traces with values their xValues and
//               yValues
//   dataFiles   path, columns, points, and with values every column's numbers
//   linkGroups  name and member names, in the order they are written
// Numbers are JSON numbers (single-precision values by their shortest text); infinities and
// NaN are the strings "inf", "-inf" and "nan".
QJsonObject describeDocument(const PlotDocument& doc, bool withValues);

// plotvane --describe [--values] FILE: opens a plot document or plots a data file without a
// display and prints its description to out. Returns 0, or 1 with one line on err when the
// file cannot be opened. Texts the program would have shown on the way (a data file that was
// not found) are written to err as well.
int describeCommand(const QString& path, bool values, QTextStream& out, QTextStream& err);
