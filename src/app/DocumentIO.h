#pragma once

#include <QString>
#include <memory>

class PlotDocument;

// The frame's way to plot documents on disk: the document file encoding and its failure
// messages, in the form the commands of the frame use them.
namespace DocumentIO {

// Loads a plot document; a failure is reported to the user and gives null.
std::unique_ptr<PlotDocument> open(const QString& path);
// Writes the document to path; a failure is reported to the user and leaves an existing file
// as it was. On success the document takes the path and is no longer modified.
bool save(PlotDocument& doc, const QString& path);
// A .pvn document, or a data file plotted the way Open Data File plots it with the default
// settings and no dialogs. Null with a one-line reason in *error when it cannot be opened.
std::unique_ptr<PlotDocument> openForCommandLine(const QString& path, QString* error);
// True when the file is meant as a plot document: named .pvn, or a compound file. Only a
// regular file is looked into.
bool isPlotDocument(const QString& path);
// Why a file named to be opened is refused before anything reads it, as one line; empty when
// it is a regular file (or a link to one). A FIFO or a device would make the reader wait for a
// writer, or never end.
QString inputProblem(const QString& path);

} // namespace DocumentIO
