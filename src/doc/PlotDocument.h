#pragma once

#include "data/ImportSettings.h"

#include "data/filelist.h"
#include "doc/DocumentBase.h"
#include "traces/Trace.h"

#include <QString>
#include <memory>

class Axis;
class ColumnFile;

// The plot document: the page of DocumentBase plus the data files its traces plot from and the plot
// commands. Every data file a trace or an error bar uses is in the data file list, which owns
// them; no trace keeps a pointer to a file that has been deleted.
class PlotDocument : public DocumentBase, public PageObjectSource, public ErrorBarOperation
{
public:
    // Keeps an undo history of its whole record.
    PlotDocument();
    ~PlotDocument() override;

    filelist& GetFiles() { return files; }
    const filelist& GetFiles() const { return files; }

    // Deletes the page objects, the link groups and the data files.
    void DeleteContents() override;
    // Lists the data files of every trace, then repairs names and resets the views.
    void Refresh() override;
    // Also drops the data files no trace uses any more.
    bool DeleteObject(visibleobject* obj) override;

    // New lists (caller owns) of every axis, every kind of trace, in page order.
    std::unique_ptr<visiblelist> GetAxes() const;
    std::unique_ptr<visiblelist> GetTraces() const;
    std::unique_ptr<StringObMap> GetAxisNames() const;
    std::unique_ptr<StringObMap> GetTraceNames() const;
    Trace* FirstTrace() const;
    bool HoldsTrace() const { return FirstTrace() != nullptr; }
    // True when a trace keeps the axes of a data zoom to undo.
    bool CanUnzoom() const;

    // Takes every trace that plots from the file off the page and deletes it; the file stays
    // in the list until the next clean-up.
    void RemoveTracesOfFile(ColumnFile* file);
    // Deletes the data files that no trace and no error bar uses.
    void RemoveUnusedFiles();
    // Makes a trace on the file, on the first trace's axes or in the active view's focus
    // rectangle, puts it and its axes on the page, opens its dialog and refreshes. The file
    // must be in the data file list or be added by the caller.
    Trace* NewTrace(ColumnFile* file);

    // Commands.
    void OpenDataFile();
    // Open Data File on a file already chosen (a file dropped on a view).
    void OpenDataFile(const QString& path);
    // The same with settings of the import dialog. A file the document holds already is read
    // again with them, for every trace on it.
    void OpenDataFile(const QString& path, const ImportSettings& settings);
    // File > Import Data...: the data-file open dialog, then the import dialog on the file.
    void ImportDataFile();
    // The import dialog on a file (with the settings it is read with now, if the document holds
    // it); OK plots it as Open Data File does.
    void ImportDataFile(const QString& path);
    void RereadData();
    void FormatObject();
    void FileSettings();
    void FormatAxes();
    // Error Bars: the operation below on the trace chosen in Select Data Set.
    void ErrorBars();
    bool isCommandEnabled(int id);
    // False when the command is not one of the document's, or none is installed for it yet.
    bool onCommand(int id);

    // After the data file list of a document file has been read: missing files are looked for
    // beside the document file, then in the current directory, then the user is asked.
    void LocateMissingFiles(const QString& documentPath);
    // Asks for every missing file; a file not found takes its traces with it.
    void PromptForMissingFiles();
    // Once a document file has been read: tells the user of every data file that is there but
    // could not be read in full (the reader's message, naming the file; its traces stay), and
    // of every column a trace plots that its file no longer has.
    void ReportLoadProblems();

    // ErrorBarOperation. A plain trace is replaced by one with error bars (drawn last from now
    // on), the Error Bar dialog runs on it, and a trace left without an error file becomes a
    // plain trace again. The trace handed in may have been deleted on return. A memory trace
    // is left alone: its values would not survive the change.
    bool EditErrorBars(Trace& trace) override;

    // DocumentServices
    bool GetAxisDataRange(const visibleobject* axis, double& min, double& max) override;
    QString GetAxisColumnName(const visibleobject* axis) override;
    // PageObjectSource
    QList<visibleobject*> pageObjects() const override { return objects.objects(); }

private:
    // Reads a new data file for Open Data File; null when it could not be read (reported).
    // Null when nothing is to be plotted; *importAsked tells that the user chose the import
    // dialog in the message of a file that is not read as a data file.
    std::unique_ptr<ColumnFile> readNewFile(const QString& path, const ImportSettings& settings,
                                            bool* importAsked);
    // Reads a held file again with other settings; false (and the old reading back) when the
    // new one fails.
    bool rereadWith(ColumnFile* file, const ImportSettings& settings);
    // A file whose read raised is deleted: every trace that plots from it, or draws its error
    // bars from it, leaves the page first; memory traces that only remember it forget it.
    void deleteFile(ColumnFile* file);
    // Asks "Could not find file ..." and lets the user point at the file; false when the file
    // is still missing.
    bool askToLocate(ColumnFile* file);
    void removeTrace(Trace* trace);
    // Every trace checks its column numbers against its file, and says what it replaced.
    void reportLostColumns();
    // The object a chooser answered when it is still on the page and of the kind asked for (any
    // kind with null), else null.
    visibleobject* onPage(visibleobject* chosen, const RuntimeClass* kind) const;

    filelist files;
};
