#include "doc/PlotDocument.h"

#include "axes/Axis.h"
#include "axes/AxisEditors.h"
#include "data/ColumnFile.h"
#include "data/DataFileMessages.h"
#include "data/FileName.h"
#include "doc/DocumentCommands.h"
#include "doc/DocumentEditors.h"
#include "doc/DocumentFile.h"
#include "doc/UndoHistory.h"
#include "page/PageView.h"
#include "platform/Exceptions.h"
#include "platform/Prompter.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"
#include "platform/WaitCursor.h"
#include "traces/ErrorTrace.h"
#include "traces/MemTrace.h"
#include "traces/TraceEditors.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <cfloat>
#include <new>

PlotDocument::PlotDocument()
{
    setUndoHistory(std::make_unique<UndoHistory>(
        [this] { return documentBytes(*this); },
        [this](const QByteArray& record) { restoreDocument(*this, record); }));
}

PlotDocument::~PlotDocument()
{
    // Page objects go before the files they refer to.
    objects.DeleteAll();
    files.DeleteAll();
}

void PlotDocument::DeleteContents()
{
    DocumentBase::DeleteContents();
    files.DeleteAll();
}

void PlotDocument::Refresh()
{
    for (visibleobject* obj : objects) {
        if (!obj->isKindOf(&Trace::classRecord))
            continue;
        auto* trace = static_cast<Trace*>(obj);
        files.AddUnique(trace->GetFile());
        files.AddUnique(trace->GetErrorFile());
    }
    DocumentBase::Refresh();
}

bool PlotDocument::DeleteObject(visibleobject* obj)
{
    const bool deleted = DocumentBase::DeleteObject(obj);
    if (deleted)
        RemoveUnusedFiles();
    return deleted;
}

std::unique_ptr<visiblelist> PlotDocument::GetAxes() const
{
    auto list = std::make_unique<visiblelist>();
    for (visibleobject* obj : objects) {
        if (obj->isKindOf(&Axis::classRecord))
            list->append(obj);
    }
    return list;
}

std::unique_ptr<visiblelist> PlotDocument::GetTraces() const
{
    auto list = std::make_unique<visiblelist>();
    for (visibleobject* obj : objects) {
        if (obj->isKindOf(&Trace::classRecord))
            list->append(obj);
    }
    return list;
}

std::unique_ptr<StringObMap> PlotDocument::GetAxisNames() const
{
    auto map = std::make_unique<StringObMap>();
    const std::unique_ptr<visiblelist> axes = GetAxes();
    for (visibleobject* obj : *axes)
        map->insert(obj->GetName(), obj);
    return map;
}

std::unique_ptr<StringObMap> PlotDocument::GetTraceNames() const
{
    auto map = std::make_unique<StringObMap>();
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces)
        map->insert(obj->GetName(), obj);
    return map;
}

Trace* PlotDocument::FirstTrace() const
{
    for (visibleobject* obj : objects) {
        if (obj->isKindOf(&Trace::classRecord))
            return static_cast<Trace*>(obj);
    }
    return nullptr;
}

bool PlotDocument::CanUnzoom() const
{
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces) {
        if (static_cast<Trace*>(obj)->CanUnzoom())
            return true;
    }
    return false;
}

bool PlotDocument::GetAxisDataRange(const visibleobject* axis, double& min, double& max)
{
    min = DBL_MAX;
    max = -1e30;
    bool found = false;
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces) {
        if (static_cast<Trace*>(obj)->GetAxisDataRange(axis, min, max))
            found = true;
    }
    return found;
}

QString PlotDocument::GetAxisColumnName(const visibleobject* axis)
{
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces) {
        const auto* trace = static_cast<Trace*>(obj);
        const ColumnFile* file = trace->GetFile();
        if (!file)
            continue;
        // Column 0, the point number, has no name.
        if (trace->GetXAxis() == axis)
            return file->GetColumnName(trace->GetXColumn() - 1);
        if (trace->GetYAxis() == axis)
            return file->GetColumnName(trace->GetYColumn() - 1);
    }
    return {};
}

void PlotDocument::removeTrace(Trace* trace)
{
    const std::unique_ptr<visibleobject> doomed = objects.Take(trace);
    UpdateAllViews(UpdateHint::Object, trace);
    forgetObject(trace);
}

void PlotDocument::RemoveTracesOfFile(ColumnFile* file)
{
    if (!file)
        return;
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces) {
        auto* trace = static_cast<Trace*>(obj);
        if (trace->GetFile() == file)
            removeTrace(trace);
    }
    MarkChanged();
}

void PlotDocument::RemoveUnusedFiles()
{
    std::unique_ptr<StringObMap> unused = files.AllPaths();
    // Paths, not pointers, as the files are listed by path: two files read from one path are
    // kept or dropped together.
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces) {
        auto* trace = static_cast<Trace*>(obj);
        if (trace->GetFile())
            unused->remove(trace->GetFile()->GetFullPath());
        if (trace->GetErrorFile())
            unused->remove(trace->GetErrorFile()->GetFullPath());
    }
    files.RemoveAndDelete(*unused);
}

void PlotDocument::deleteFile(ColumnFile* file)
{
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces) {
        auto* trace = static_cast<Trace*>(obj);
        if (trace->GetErrorFile() == file)
            removeTrace(trace);
        else if (trace->GetFile() == file && trace->isKindOf(&MemTrace::classRecord))
            trace->SetFile(nullptr);
        else if (trace->GetFile() == file)
            removeTrace(trace);
    }
    // A file the list does not hold is not ours to delete.
    if (files.RemoveFile(file))
        delete file;
    MarkChanged();
}

Trace* PlotDocument::NewTrace(ColumnFile* file)
{
    WaitCursor wait;
    PageView* view = GetActiveView();
    const bool placed = view && !view->focusRect().isNull() && !view->hasSelection();
    auto trace = placed ? std::make_unique<Trace>(view, file, view->focusRect())
                        : std::make_unique<Trace>(view, file, this);
    // The axes the trace made for itself; those it keeps go to the page, the others are dropped.
    std::unique_ptr<Axis> ownX = trace->TakeMadeXAxis();
    std::unique_ptr<Axis> ownY = trace->TakeMadeYAxis();
    if (Trace* first = placed ? nullptr : FirstTrace()) {
        if (first->GetXAxis())
            trace->SetXAxis(first->GetXAxis());
        if (first->GetYAxis())
            trace->SetYAxis(first->GetYAxis());
    }

    do
        trace->SetDefaultName();
    while (IsNameInUse(trace->GetName(), trace.get()));

    trace->SetDocument(this);
    for (Axis* axis : {ownX.get(), ownY.get()}) {
        if (axis)
            axis->SetDocument(this);
    }
    Trace* added = trace.get();
    objects.Add(std::move(trace));
    if (ownX && added->GetXAxis() == ownX.get())
        objects.Add(std::move(ownX));
    if (ownY && added->GetYAxis() == ownY.get())
        objects.Add(std::move(ownY));
    added->EditProperties();
    Refresh();
    return added;
}

std::unique_ptr<ColumnFile>
PlotDocument::readNewFile(const QString& path, const ImportSettings& settings, bool* importAsked)
{
    auto file = std::make_unique<ColumnFile>(path);
    file->SetImportSettings(settings);
    try {
        WaitCursor wait;
        if (file->ReadFile() == 0) {
            // A data file that moved with its document is looked for beside the document. A
            // document without a file has no directory to look in.
            const QString docDir = GetDirectory();
            if (docDir.isEmpty() || docDir == file->GetFileName().GetDirectory())
                throw FileException(FileException::Cause::accessDenied, file->GetFullPath());
            FileName moved(file->GetFullPath());
            moved.SetDirectory(docDir);
            file->SetPath(moved.GetFullPath());
            if (file->ReadFile() == 0)
                throw FileException(FileException::Cause::accessDenied, file->GetFullPath());
        }
    } catch (const ReadCancelled&) {
        return nullptr;
    } catch (const std::exception& error) {
        const DataFileMessage message = dataFileMessage(error, *file);
        const ColumnFile::ReadState state = file->GetReadState();
        // A text that the plain rules do not read may be read with settings: the message offers
        // the import dialog on it.
        if (importAsked && (state == ColumnFile::ReadState::notDataFile ||
                            state == ColumnFile::ReadState::parseError)) {
            if (Prompter::instance().messageWithAction(
                    message.text, message.caption, Prompter::Icon::Exclamation,
                    loadString(Str::ImportButton)) == Prompter::Answer::Yes) {
                *importAsked = true;
                return nullptr;
            }
            return message.keepFile ? std::move(file) : nullptr;
        }
        if (!showDataFileMessage(message))
            return nullptr;
    }
    return file;
}

void PlotDocument::OpenDataFile()
{
    const QString path = filelist::AskDataFileName();
    if (!path.isEmpty())
        OpenDataFile(path);
}

void PlotDocument::OpenDataFile(const QString& path)
{
    ColumnFile* listed = files.FindByPath(path);
    OpenDataFile(path, listed ? listed->GetImportSettings() : ImportSettings());
}

bool PlotDocument::rereadWith(ColumnFile* file, const ImportSettings& settings)
{
    const ImportSettings old = file->GetImportSettings();
    file->SetImportSettings(settings);
    try {
        WaitCursor wait;
        file->Reread();
    } catch (const std::exception& error) {
        if (!reportDataFileError(error, *file)) {
            file->SetImportSettings(old);
            file->ReadFileRecorded();
            return false;
        }
    }
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces) {
        auto* trace = static_cast<Trace*>(obj);
        if (trace->GetFile() == file || trace->GetErrorFile() == file) {
            trace->ReportLostColumns();
            trace->DropPoints();
        }
    }
    return true;
}

void PlotDocument::OpenDataFile(const QString& path, const ImportSettings& settings)
{
    ColumnFile* file = files.FindByPath(path);
    // One file is read one way: the traces on it take the new reading.
    if (file && file->GetImportSettings() != settings && !rereadWith(file, settings))
        return;
    if (!file) {
        bool importAsked = false;
        std::unique_ptr<ColumnFile> read = readNewFile(path, settings, &importAsked);
        if (importAsked) {
            ImportDataFile(path);
            return;
        }
        if (!read)
            return;
        // The retry may have found a file that is listed already under its new path.
        file = files.FindByPath(read->GetFullPath());
        if (!file) {
            file = read.release();
            files.AddUnique(file);
        } else if (file->GetImportSettings() != settings && !rereadWith(file, settings)) {
            return;
        }
    }
    try {
        NewTrace(file);
    } catch (...) {
        RemoveUnusedFiles();
        throw;
    }
    MarkChanged();
}

void PlotDocument::ImportDataFile()
{
    const QString path = filelist::AskImportFileName();
    if (!path.isEmpty())
        ImportDataFile(path);
}

void PlotDocument::ImportDataFile(const QString& path)
{
    const ColumnFile* listed = files.FindByPath(path);
    ImportSettings settings = listed ? listed->GetImportSettings() : ImportSettings();
    DocumentEditors* editors = DocumentEditors::instance();
    if (editors && editors->importSettings(path, settings))
        OpenDataFile(path, settings);
}

bool PlotDocument::askToLocate(ColumnFile* file)
{
    const QString text = formatString(Str::AskLocateFile, file->GetFullPath());
    if (Prompter::instance().question(text, QString(), Prompter::Buttons::YesNo,
                                      Prompter::Icon::Exclamation) != Prompter::Answer::Yes)
        return false;
    return filelist::LocateFile(file);
}

void PlotDocument::RereadData()
{
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces) {
        // Traces of a file that failed earlier in this walk are gone.
        if (!objects.contains(obj))
            continue;
        auto* trace = static_cast<Trace*>(obj);
        ColumnFile* file = trace->GetFile();
        try {
            if (trace->Reread() == 0 && file && !askToLocate(file))
                RemoveTracesOfFile(file);
        } catch (const ReadCancelled&) {
            // The file keeps the data it had; the rest are not read either.
            break;
        } catch (const std::exception&) {
            ShowFileMessage(Str::FileError, file ? file->GetFullPath() : QString());
            if (file)
                deleteFile(file);
            else if (objects.contains(trace))
                removeTrace(trace);
        }
    }
    // A file located anew may have fewer columns than its traces plot.
    reportLostColumns();
    RemoveUnusedFiles();
    Refresh();
}

void PlotDocument::FormatObject()
{
    DocumentEditors* editors = DocumentEditors::instance();
    if (!editors)
        return;
    visibleobject* chosen = onPage(editors->chooseObject(*GetObjectNames()), nullptr);
    if (!chosen)
        return;
    if (chosen->EditProperties()) {
        Refresh();
        MarkChanged();
    }
}

visibleobject* PlotDocument::onPage(visibleobject* chosen, const RuntimeClass* kind) const
{
    return chosen && objects.contains(chosen) && (!kind || chosen->isKindOf(kind)) ? chosen
                                                                                   : nullptr;
}

void PlotDocument::FileSettings()
{
    DocumentEditors* editors = DocumentEditors::instance();
    if (!editors)
        return;
    visibleobject* chosen = onPage(editors->chooseDataSet(*GetTraceNames()), &Trace::classRecord);
    if (!chosen)
        return;
    chosen->EditProperties();
    Refresh();
    MarkChanged();
}

void PlotDocument::FormatAxes()
{
    AxisEditors* editors = AxisEditors::instance();
    if (!editors)
        return;
    visibleobject* chosen = onPage(editors->chooseAxis(*GetAxisNames()), &Axis::classRecord);
    if (!chosen)
        return;
    if (chosen->EditProperties()) {
        Refresh();
        MarkChanged();
    }
}

void PlotDocument::ErrorBars()
{
    DocumentEditors* editors = DocumentEditors::instance();
    if (!editors)
        return;
    if (visibleobject* chosen =
            onPage(editors->chooseDataSet(*GetTraceNames()), &Trace::classRecord))
        EditErrorBars(*static_cast<Trace*>(chosen));
}

bool PlotDocument::EditErrorBars(Trace& trace)
{
    if (!objects.contains(&trace))
        return false;
    // A computed data set's values live in it alone: a trace made from it would plot its
    // source file instead and lose them.
    if (trace.isKindOf(&MemTrace::classRecord)) {
        ShowFileMessage(Str::NoErrorBarsOnComputed);
        return false;
    }
    // Traces taken off the page are deleted only once the views have let go of them: the
    // dialog in between lets the views paint what they hold.
    std::vector<std::unique_ptr<visibleobject>> replaced;
    auto replace = [&](Trace* gone, std::unique_ptr<Trace> next) {
        next->SetDocument(this);
        replaced.reserve(replaced.size() + 1);
        // The new trace stands for the old one wherever it was linked.
        substituteObject(gone, next.get());
        objects.Add(std::move(next));
        replaced.push_back(objects.Take(gone));
    };

    bool changed = false;
    auto* bars = dynamic_cast<ErrorTrace*>(&trace);
    if (!trace.GetErrorFile() || !bars) {
        auto made = std::make_unique<ErrorTrace>(trace);
        bars = made.get();
        replace(&trace, std::move(made));
        changed = true;
    }

    try {
        ColumnFile* errorFile = bars->GetErrorFile();
        int errorColumn = bars->GetErrorColumn();
        const QString dataPath = bars->GetFile() ? bars->GetFile()->GetFullPath() : QString();
        TraceEditors* editors = TraceEditors::instance();
        if (editors &&
            editors->errorBars(errorFile, errorColumn, files, dataPath, GetActiveView())) {
            bars->SetErrorFile(errorFile);
            if (errorFile)
                bars->SetErrorColumn(errorColumn);
            changed = true;
        }
        if (!bars->GetErrorFile())
            replace(bars, std::make_unique<Trace>(static_cast<const Trace&>(*bars)));
    } catch (...) {
        // A file the dialog could not read: the page stays as it is now, seen by every view.
        RemoveUnusedFiles();
        Refresh();
        throw;
    }
    RemoveUnusedFiles();
    Refresh();
    if (changed)
        MarkChanged();
    return changed;
}

void PlotDocument::LocateMissingFiles(const QString& documentPath)
{
    if (files.NoneMissing())
        return;
    // A file found nowhere keeps the path it was saved with, so that the user is asked for the
    // file by its own name and a later save does not lose where it was.
    QHash<ColumnFile*, QString> saved;
    const std::unique_ptr<StringObMap> missing = files.MissingFiles();
    for (const StringObMap::Entry& entry : *missing)
        saved.insert(static_cast<ColumnFile*>(entry.value), entry.key);
    // Absolute, as every path the document keeps: a document opened by a relative path still
    // stores where its files were found.
    const QString docDir =
        documentPath.isEmpty() ? QString() : QFileInfo(documentPath).absolutePath();
    if ((!docDir.isEmpty() && files.RelocateIn(docDir)) || files.RelocateIn(QDir::currentPath()))
        return;
    for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
        if (it.key()->IsMissing())
            it.key()->SetPath(it.value());
    }
    PromptForMissingFiles();
}

void PlotDocument::PromptForMissingFiles()
{
    const std::unique_ptr<StringObMap> missing = files.MissingFiles();
    for (const StringObMap::Entry& entry : *missing) {
        auto* file = static_cast<ColumnFile*>(entry.value);
        if (askToLocate(file))
            MarkChanged();
        else
            RemoveTracesOfFile(file);
    }
}

void PlotDocument::ReportLoadProblems()
{
    for (int i = 0; i < files.count(); ++i) {
        // A missing file has been asked for already; a file read whole has nothing to say.
        if (!files.at(i)->IsMissing())
            showDataFileMessage(dataFileMessage(*files.at(i)));
    }
    reportLostColumns();
}

void PlotDocument::reportLostColumns()
{
    const std::unique_ptr<visiblelist> traces = GetTraces();
    for (visibleobject* obj : *traces)
        static_cast<Trace*>(obj)->ReportLostColumns();
}

bool PlotDocument::isCommandEnabled(int id)
{
    return ::isCommandEnabled(id, *this, GetActiveView());
}

bool PlotDocument::onCommand(int id)
{
    return ::onCommand(id, *this);
}
