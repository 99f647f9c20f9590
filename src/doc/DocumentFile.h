#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <exception>
#include <memory>

class Archive;
class CompoundFileWriter;
class PlotDocument;
class visiblelist;

// Plot documents on disk. A .pvn file is a compound file whose root stream "Contents" holds the
// document record: the data file list, the page list, the marker bytes 34 12 and the link
// groups, in the archive encoding.

// Makes sure every class a document file may name is linked into the program and registered
// (a class whose object file the linker dropped would read as an unknown class).
void registerDocumentClasses();

// The version of the embedded-object records met while reading a document; embedded objects
// set it from the first one read. Every save and load ends by resetting it.
inline constexpr uint16_t noEmbeddedObjectVersion = 0xFFFF;
uint16_t embeddedObjectVersion();
void setEmbeddedObjectVersion(uint16_t version);

// The document record. Writing purges the link groups of objects no longer on the page.
void writeDocument(PlotDocument& doc, Archive& ar);
// Reads the record into the document, replacing what it held. Missing data files are looked for
// beside documentPath, then in the current directory, then asked for (Prompter); a file that stays
// missing takes its traces with it. A stream that ends right after the page list has no link
// groups. Ends with Refresh. Raises ArchiveException, FileException or MemoryException on a
// failed read; the document is then left empty and every object read is deleted.
void readDocument(PlotDocument& doc, Archive& ar, const QString& documentPath);

// The bytes of the "Contents" stream.
QByteArray documentContents(PlotDocument& doc);

// Writes a new file beside the target and then replaces it, so a save that fails half way
// leaves the old file as it was. Raises FileException or ArchiveException. The document's path
// and modified flag are left alone.
void saveDocument(PlotDocument& doc, const QString& path);
// The whole document file as saving writes it, in memory: one state of the document.
QByteArray documentBytes(PlotDocument& doc);
// Puts the document back to a state taken by documentBytes, replacing its page, data files and
// link groups. Data files the document holds already (by path) keep their columns and are not
// read again; the others are read and looked for as on loading. Ends with Refresh. Raises as
// readDocument does, and leaves the document empty then.
void restoreDocument(PlotDocument& doc, const QByteArray& bytes);
// Puts a document record written into `ar` (an archive that carries side storages) into a
// container: "Contents" and the "Embedding N" storages of the embedded objects.
void writeContainer(CompoundFileWriter& writer, const Archive& ar);
// A new document read from the file; it takes the path. Raises on failure (FileException,
// ArchiveException, MemoryException); nothing else is touched then.
std::unique_ptr<PlotDocument> loadDocument(const QString& path);
// The same over the bytes of a container in memory; documentPath is where missing data files
// are looked for and the path the document takes (may be empty).
std::unique_ptr<PlotDocument> loadDocumentFromBytes(const QByteArray& containerBytes,
                                                    const QString& documentPath = {});

// The command forms: failures are reported through the Prompter with the framework's messages
// ("Unexpected file format.", "Failed to open document.", "Failed to save document." and the
// like). Opening gives null after a failure.
std::unique_ptr<PlotDocument> openDocumentReporting(const QString& path);
// On success the document takes the path and is no longer modified; a failure leaves the old
// file and the document as they were.
bool saveDocumentReporting(PlotDocument& doc, const QString& path);
// Reports a failed save of any file the way a failed document save is reported: the message of
// the failure's cause for the file, "Failed to save document." where no other fits.
void reportSaveFailure(const std::exception& error, const QString& path);

// True when the file is meant as a plot document: named .pvn, or a compound file.
bool isPlotDocumentFile(const QString& path);

// A plot document, or a data file plotted as Open Data File plots it with the default settings
// and no dialogs, for the command line: questions are answered No, and the axes take their
// ranges from the data as a view would draw them. Null with a one-line reason in *error when
// it cannot be opened; the texts of questions and messages shown on the way (a data file that
// could not be found) go to *notes.
std::unique_ptr<PlotDocument> openForCommandLine(const QString& path, QString* error,
                                                 QStringList* notes = nullptr);

// The clipboard record of some page objects: the list and, with the traces in it, the axes and
// data files they refer to.
QByteArray objectsContents(PlotDocument& doc, const visiblelist& objects);
// Puts the objects of such a record on the page (after those there); names are not repaired
// here. Traces take the document's data file of the same path where it has one, and bring their
// axes along when the record holds them without listing them. Returns the objects listed in the
// record, as put on the page. Raises ArchiveException, FileException or MemoryException on a
// malformed record; the document is then left as it was.
std::unique_ptr<visiblelist> readObjectsInto(PlotDocument& doc, const QByteArray& contents);
