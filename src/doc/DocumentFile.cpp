#include "doc/DocumentFile.h"

#include "axes/Axis.h"
#include "axes/AxisTitle.h"
#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "axes/tickstruct.h"
#include "data/ColumnFile.h"
#include "data/DataFileMessages.h"
#include "data/FileName.h"
#include "data/ImportSettings.h"
#include "data/filelist.h"
#include "doc/PlotDocument.h"
#include "doc/UndoHistory.h"
#include "page/Location.h"
#include "page/PageList.h"
#include "page/scaleableobject.h"
#include "page/visiblelist.h"
#include "page/visibleobject.h"
#include "platform/Archive.h"
#include "platform/CompoundFile.h"
#include "platform/Exceptions.h"
#include "platform/ObList.h"
#include "platform/Prompter.h"
#include "platform/ShowFileMessage.h"
#include "platform/StringObMap.h"
#include "platform/Strings.h"
#include "traces/ErrorTrace.h"
#include "traces/MemTrace.h"
#include "traces/Trace.h"
#include "traces/TraceEditors.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <memory>
#include <new>
#include <utility>

namespace {

uint16_t currentEmbeddedVersion = noEmbeddedObjectVersion;

// Bytes 34 12 between the page list and the link groups.
constexpr char linkGroupMarker[2] = {0x34, 0x12};

// The next document read sets the embedded-object version afresh, whatever happened before.
class EmbeddedVersionReset
{
public:
    EmbeddedVersionReset() = default;
    ~EmbeddedVersionReset() { setEmbeddedObjectVersion(noEmbeddedObjectVersion); }
    EmbeddedVersionReset(const EmbeddedVersionReset&) = delete;
    EmbeddedVersionReset& operator=(const EmbeddedVersionReset&) = delete;
};

void readPageList(PlotDocument& doc, Archive& ar)
{
    PageList& page = doc.GetObjects();
    QSet<const visibleobject*> listed;
    const uint32_t count = obList::readCount(ar);
    for (uint32_t i = 0; i < count; ++i) {
        auto* obj = ar.readObject<visibleobject>();
        obList::checkElement(obj, false);
        // Listed twice, drawn once: the page owns each object only once.
        if (listed.contains(obj))
            continue;
        ar.claim(obj);
        page.Add(std::unique_ptr<visibleobject>(obj));
        listed.insert(obj);
    }
}

void readLinkGroups(PlotDocument& doc, Archive& ar)
{
    StringObMap read;
    read.Serialize(ar, &visiblelist::classRecord);
    // The document holds copies of the lists; registering does not make the load a change.
    const bool modified = doc.IsModified();
    for (const StringObMap::Entry& entry : read) {
        if (!entry.value)
            continue;
        auto* list = static_cast<visiblelist*>(entry.value);
        ar.claim(list);
        const std::unique_ptr<visiblelist> owned(list);
        doc.RegisterLinkGroup(entry.key, *owned);
    }
    doc.SetModifiedFlag(modified);
}

bool readMarker(Archive& ar)
{
    char marker[2];
    // The one place where a short stream is accepted: a file that ends after the page list.
    return ar.read(marker, sizeof marker) == sizeof marker;
}

// The objects read: those on the page first, then those the archive still owns.
std::vector<Persistent*> objectsRead(const PlotDocument& doc, const Archive& ar)
{
    std::vector<Persistent*> all(doc.GetObjects().begin(), doc.GetObjects().end());
    const std::vector<Persistent*> unclaimed = ar.unclaimed();
    all.insert(all.end(), unclaimed.begin(), unclaimed.end());
    return all;
}

QList<Axis*> axesRead(const PlotDocument& doc, const Archive& ar)
{
    QList<Axis*> axes;
    for (Persistent* obj : objectsRead(doc, ar)) {
        if (obj->isKindOf(&Axis::classRecord))
            axes.append(static_cast<Axis*>(obj));
    }
    return axes;
}

// An axis refers to its title without owning it and tells it when the axis goes. Only a title
// object on the page, of one axis, stays; any other reference in a file would be followed
// after its object was deleted.
void dropStrayTitles(const PlotDocument& doc, const Archive& ar)
{
    const RuntimeClass* titleClass = RuntimeClass::find("AxisTitle");
    const PageList& page = doc.GetObjects();
    QSet<const visibleobject*> taken;
    for (Axis* axis : axesRead(doc, ar)) {
        visibleobject* title = axis->GetTitle();
        if (!title)
            continue;
        if (titleClass && title->isKindOf(titleClass) && page.contains(title) &&
            !taken.contains(title))
            taken.insert(title);
        else
            axis->SetTitle(nullptr);
    }
    AxisTitle::unlinkOneSided(objectsRead(doc, ar));
}

// Traces may name data files that the file list lacks; listed, they are looked for too.
void listFile(PlotDocument& doc, Archive& ar, ColumnFile* file)
{
    if (!file || doc.GetFiles().contains(file))
        return;
    ar.claim(file);
    doc.GetFiles().AddUnique(file);
}

void listTraceFiles(PlotDocument& doc, Archive& ar)
{
    for (visibleobject* obj : doc.GetObjects()) {
        if (obj->isKindOf(&Trace::classRecord))
            listFile(doc, ar, static_cast<Trace*>(obj)->GetFile());
    }
}

// What the traces that are left refer to and the document lacks: the axes go on the page after
// the objects read, the error files to the file list.
void adoptTraceParts(PlotDocument& doc, Archive& ar)
{
    PageList& page = doc.GetObjects();
    const QList<visibleobject*> read = page.objects();
    for (visibleobject* obj : read) {
        if (!obj->isKindOf(&Trace::classRecord))
            continue;
        auto* trace = static_cast<Trace*>(obj);
        listFile(doc, ar, trace->GetErrorFile());
        for (Axis* axis : {trace->GetXAxis(), trace->GetYAxis()}) {
            if (axis && !page.contains(axis)) {
                ar.claim(axis);
                page.Add(std::unique_ptr<visibleobject>(axis));
            }
        }
    }
}

// After a failed read the page and the archive delete what each owns, in either order: no axis
// may follow its title into what is already gone.
void detachTitles(const PlotDocument& doc, const Archive& ar)
{
    for (Axis* axis : axesRead(doc, ar))
        axis->SetTitle(nullptr);
    AxisTitle::unlinkOneSided(objectsRead(doc, ar));
}

// The document keeps its own path absolute, so that data files found beside it or opened
// later beside it are stored by absolute paths too.
QString absolutePath(const QString& path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

// Embedded objects keep their bytes in sub-storages "Embedding N" beside "Contents"; their
// records name the storage.
const QString embeddingPrefix = QStringLiteral("Embedding");

// How the data files are read, beside "Contents" so that a reader that does not know it reads
// the files by the plain rules. Written only when a file has settings of its own.
const QString importSettingsStreamName = QStringLiteral("DataFileSettings");

QByteArray importSettingsStream(const PlotDocument& doc)
{
    QJsonArray files;
    const filelist& list = doc.GetFiles();
    for (int i = 0; i < list.count(); ++i) {
        const ColumnFile* file = list.at(i);
        if (file->GetImportSettings().isDefault())
            continue;
        QJsonObject entry = file->GetImportSettings().toJson();
        entry[QStringLiteral("path")] = file->GetFullPath();
        files.append(entry);
    }
    if (files.isEmpty())
        return {};
    return QJsonDocument(QJsonObject{{QStringLiteral("files"), files}})
        .toJson(QJsonDocument::Compact);
}

// Settings that cannot be read are left out: their files are read by the plain rules.
QList<std::pair<QString, ImportSettings>> readImportSettings(const CompoundFileReader& reader)
{
    QList<std::pair<QString, ImportSettings>> byPath;
    if (!reader.hasStream(importSettingsStreamName))
        return byPath;
    const QJsonDocument json = QJsonDocument::fromJson(reader.readStream(importSettingsStreamName));
    for (const QJsonValue& v : json.object().value(QStringLiteral("files")).toArray()) {
        const QJsonObject entry = v.toObject();
        const QString path = entry.value(QStringLiteral("path")).toString();
        if (!path.isEmpty())
            byPath.append({path, ImportSettings::fromJson(entry)});
    }
    return byPath;
}

void handSideStorages(const CompoundFileReader& reader, Archive& ar)
{
    ar.setCarriesSideStorages(true);
    for (const QString& name : reader.children()) {
        if (!name.startsWith(embeddingPrefix + QLatin1Char(' ')) || !reader.isStorage({name}))
            continue;
        Archive::Streams streams;
        for (const QString& stream : reader.children({name})) {
            if (reader.hasStream({name}, stream))
                streams.insert(stream, reader.readStream({name}, stream));
        }
        ar.setSideStorage(name, std::move(streams));
    }
}

std::unique_ptr<PlotDocument> loadFrom(const CompoundFileReader& reader,
                                       const QString& documentPath)
{
    if (!reader.hasStream(contentsStreamName()))
        throw FileException(FileException::Cause::invalidFile, documentPath,
                            QStringLiteral("no Contents stream"));
    Archive ar(reader.readStream(contentsStreamName()));
    handSideStorages(reader, ar);
    auto doc = std::make_unique<PlotDocument>();
    const ImportSettingsScope settings(readImportSettings(reader));
    readDocument(*doc, ar, documentPath);
    doc->SetPathName(documentPath);
    // Undo starts from the document as read.
    doc->undoHistory()->reset(doc->IsModified());
    return doc;
}

int failureMessage(const std::exception& error, bool saving)
{
    const int fallback = saving ? Str::FailedToSaveDoc : Str::FailedToOpenDoc;
    if (dynamic_cast<const ArchiveException*>(&error))
        return saving ? fallback : Str::FailedInvalidFormat;
    if (const auto* e = dynamic_cast<const FileException*>(&error)) {
        switch (e->cause()) {
        case FileException::Cause::invalidFile:
            return saving ? fallback : Str::FailedInvalidFormat;
        case FileException::Cause::fileNotFound:
        case FileException::Cause::badPath:
            return Str::FailedInvalidPath;
        case FileException::Cause::accessDenied:
            return saving ? Str::FailedAccessWrite : Str::FailedAccessRead;
        case FileException::Cause::diskFull:
            return Str::FailedDiskFull;
        default:
            return fallback;
        }
    }
    if (dynamic_cast<const MemoryException*>(&error) || dynamic_cast<const std::bad_alloc*>(&error))
        return Str::FailedMemoryAlloc;
    return fallback;
}

// The file a message names: the one that failed, which may be a data file of the document.
QString failedFile(const std::exception& error, const QString& path)
{
    if (const auto* e = dynamic_cast<const FileException*>(&error); e && !e->fileName().isEmpty())
        return e->fileName();
    return path;
}

QString failureText(const std::exception& error, bool saving, const QString& path)
{
    return fillPlaceholder(loadString(failureMessage(error, saving)), failedFile(error, path));
}

void reportFailure(const std::exception& error, bool saving, const QString& path)
{
    ShowFileMessage(failureMessage(error, saving), QString(), failedFile(error, path));
}

// Answers every question with its cancelling choice, the first file chooser with the file
// named on the command line, and keeps the texts for the caller.
class CommandLinePrompter : public Prompter
{
public:
    explicit CommandLinePrompter(QString file) : file_(std::move(file)) {}

    void message(const QString& text, const QString&, Icon) override { texts.append(text); }
    Answer question(const QString& text, const QString&, Buttons buttons, Icon) override
    {
        texts.append(text);
        return cancelAnswer(buttons);
    }
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return std::exchange(file_, QString());
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }

    QStringList texts;

private:
    QString file_;
};

// What a view does before drawing: axes take their ranges from the data, traces their limits.
void layOut(PlotDocument& doc)
{
    for (visibleobject* obj : doc.GetObjects()) {
        if (obj->isKindOf(&Axis::classRecord))
            static_cast<Axis*>(obj)->AutoRange();
    }
    doc.GetObjects().RelayoutAll();
}

} // namespace

void registerDocumentClasses()
{
    // Naming each record keeps its object file, and with it its registration, in the program.
    static const RuntimeClass* const classes[] = {
        &Location::classRecord,    &visibleobject::classRecord, &scaleableobject::classRecord,
        &visiblelist::classRecord, &filelist::classRecord,      &FileName::classRecord,
        &ColumnFile::classRecord,  &Axis::classRecord,          &XAxis::classRecord,
        &YAxis::classRecord,       &tickstruct::classRecord,    &Trace::classRecord,
        &MemTrace::classRecord,    &AxisTitle::classRecord,     &ErrorTrace::classRecord,
    };
    for (const RuntimeClass* cls : classes) {
        if (RuntimeClass::find(cls->name) != cls)
            RuntimeClass::add(cls);
    }
}

uint16_t embeddedObjectVersion()
{
    return currentEmbeddedVersion;
}

void setEmbeddedObjectVersion(uint16_t version)
{
    currentEmbeddedVersion = version;
}

void writeDocument(PlotDocument& doc, Archive& ar)
{
    EmbeddedVersionReset versionReset;
    ar.setDocument(&doc);
    doc.PurgeLinkGroups();
    doc.GetFiles().Serialize(ar);
    doc.GetObjects().WriteReferences(ar);
    ar.write(linkGroupMarker, sizeof linkGroupMarker);
    // Storing leaves the map as it is.
    const_cast<StringObMap&>(doc.GetLinkGroups()).Serialize(ar);
}

namespace {

// Reading a state of the document again (undo) says nothing of the files it did not read.
void readRecord(PlotDocument& doc, Archive& ar, const QString& documentPath, bool reportFiles)
{
    registerDocumentClasses();
    EmbeddedVersionReset versionReset;
    doc.DeleteContents();
    doc.SetModifiedFlag(false);
    ar.setDocument(&doc);
    try {
        doc.GetFiles().Serialize(ar);
        doc.LocateMissingFiles(documentPath);
        readPageList(doc, ar);
        if (readMarker(ar))
            readLinkGroups(doc, ar);
        dropStrayTitles(doc, ar);
        listTraceFiles(doc, ar);
        if (!doc.GetFiles().NoneMissing())
            doc.PromptForMissingFiles();
        if (reportFiles)
            doc.ReportLoadProblems();
        adoptTraceParts(doc, ar);
        doc.Refresh();
        doc.PurgeLinkGroups();
    } catch (...) {
        detachTitles(doc, ar);
        doc.DeleteContents();
        throw;
    }
}

} // namespace

void readDocument(PlotDocument& doc, Archive& ar, const QString& documentPath)
{
    readRecord(doc, ar, documentPath, true);
}

QByteArray documentContents(PlotDocument& doc)
{
    Archive ar;
    writeDocument(doc, ar);
    return ar.data();
}

void writeContainer(CompoundFileWriter& writer, const Archive& ar)
{
    writer.writeStream(contentsStreamName(), ar.data());
    const QMap<QString, Archive::Streams>& storages = ar.sideStorages();
    for (auto it = storages.cbegin(); it != storages.cend(); ++it) {
        writer.addStorage({it.key()});
        for (auto stream = it.value().cbegin(); stream != it.value().cend(); ++stream)
            writer.writeStream({it.key()}, stream.key(), stream.value());
    }
}

void saveDocument(PlotDocument& doc, const QString& path)
{
    EmbeddedVersionReset versionReset;
    CompoundFileWriter writer(path);
    Archive ar;
    ar.setCarriesSideStorages(true);
    writeDocument(doc, ar);
    writeContainer(writer, ar);
    const QByteArray settings = importSettingsStream(doc);
    if (!settings.isEmpty())
        writer.writeStream(importSettingsStreamName, settings);
    writer.commit();
}

QByteArray documentBytes(PlotDocument& doc)
{
    // Taken at any time, also while another document is being read: the version that one has
    // met stays.
    const uint16_t version = embeddedObjectVersion();
    Archive ar;
    ar.setCarriesSideStorages(true);
    writeDocument(doc, ar);
    setEmbeddedObjectVersion(version);
    CompoundFileWriter writer;
    writeContainer(writer, ar);
    return writer.toBytes();
}

void restoreDocument(PlotDocument& doc, const QByteArray& bytes)
{
    registerDocumentClasses();
    EmbeddedVersionReset versionReset;
    const CompoundFileReader reader = CompoundFileReader::fromBytes(bytes, doc.GetPathName());
    Archive ar(reader.readStream(contentsStreamName()));
    handSideStorages(reader, ar);
    std::vector<std::unique_ptr<ColumnFile>> held;
    QSet<QString> heldPaths;
    filelist& files = doc.GetFiles();
    while (!files.isEmpty()) {
        ColumnFile* file = files.at(0);
        files.RemoveFile(file);
        held.emplace_back(file);
        heldPaths.insert(file->GetFullPath());
    }
    struct HeldFiles
    {
        explicit HeldFiles(std::vector<std::unique_ptr<ColumnFile>>* files)
        {
            ColumnFile::setHeldFiles(files);
        }
        ~HeldFiles() { ColumnFile::setHeldFiles(nullptr); }
        HeldFiles(const HeldFiles&) = delete;
        HeldFiles& operator=(const HeldFiles&) = delete;
    };
    {
        const HeldFiles scope(&held);
        readRecord(doc, ar, doc.GetPathName(), false);
    }
    // Files read from disk again are told of as on loading.
    for (int i = 0; i < doc.GetFiles().count(); ++i) {
        const ColumnFile* file = doc.GetFiles().at(i);
        if (!heldPaths.contains(file->GetFullPath()) && !file->IsMissing())
            showDataFileMessage(dataFileMessage(*file));
    }
}

std::unique_ptr<PlotDocument> loadDocument(const QString& path)
{
    registerDocumentClasses();
    EmbeddedVersionReset versionReset;
    const CompoundFileReader reader(path);
    return loadFrom(reader, absolutePath(path));
}

std::unique_ptr<PlotDocument> loadDocumentFromBytes(const QByteArray& containerBytes,
                                                    const QString& documentPath)
{
    registerDocumentClasses();
    EmbeddedVersionReset versionReset;
    const CompoundFileReader reader = CompoundFileReader::fromBytes(containerBytes, documentPath);
    return loadFrom(reader, absolutePath(documentPath));
}

std::unique_ptr<PlotDocument> openDocumentReporting(const QString& path)
{
    try {
        return loadDocument(path);
    } catch (const std::exception& error) {
        reportFailure(error, false, path);
    }
    return nullptr;
}

bool saveDocumentReporting(PlotDocument& doc, const QString& path)
{
    try {
        saveDocument(doc, path);
    } catch (const std::exception& error) {
        reportFailure(error, true, path);
        return false;
    }
    doc.SetPathName(path);
    doc.SetModifiedFlag(false);
    doc.undoHistory()->markSaved();
    return true;
}

void reportSaveFailure(const std::exception& error, const QString& path)
{
    reportFailure(error, true, path);
}

bool isPlotDocumentFile(const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("pvn"), Qt::CaseInsensitive) == 0)
        return true;
    // Compound files say so in their first eight bytes.
    static const QByteArray signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(8) == signature;
}

std::unique_ptr<PlotDocument> openForCommandLine(const QString& path, QString* error,
                                                 QStringList* notes)
{
    const QFileInfo info(path);
    CommandLinePrompter prompter(info.absoluteFilePath());
    PrompterScope prompterScope(&prompter);
    // Traces made for the command line open no dialog.
    Installed<TraceEditors>::Scope noDialogs(nullptr);
    std::unique_ptr<PlotDocument> doc;
    QString reason;
    if (!info.exists()) {
        reason = QStringLiteral("'%1' does not exist").arg(path);
    } else if (info.isDir()) {
        reason = QStringLiteral("'%1' is a directory").arg(path);
    } else if (isPlotDocumentFile(path)) {
        try {
            doc = loadDocument(path);
        } catch (const std::exception& e) {
            reason = QStringLiteral("cannot open '%1': %2").arg(path, failureText(e, false, path));
        }
    } else {
        try {
            doc = std::make_unique<PlotDocument>();
            doc->OpenDataFile();
            if (!doc->HoldsTrace()) {
                reason = QStringLiteral("cannot plot '%1': %2")
                             .arg(path, prompter.texts.isEmpty() ? QStringLiteral("no data")
                                                                 : prompter.texts.last());
                doc.reset();
            }
        } catch (const std::exception& e) {
            doc.reset();
            reason = QStringLiteral("cannot plot '%1': %2").arg(path, failureText(e, false, path));
        }
    }
    if (doc) {
        layOut(*doc);
        doc->undoHistory()->reset(doc->IsModified());
    }
    if (notes)
        *notes = prompter.texts;
    if (!doc && error)
        *error = reason.simplified();
    return doc;
}

QByteArray objectsContents(PlotDocument& doc, const visiblelist& objects)
{
    EmbeddedVersionReset versionReset;
    Archive ar;
    ar.setDocument(&doc);
    ar.writeObject(&objects);
    return ar.data();
}

std::unique_ptr<visiblelist> readObjectsInto(PlotDocument& doc, const QByteArray& contents)
{
    registerDocumentClasses();
    EmbeddedVersionReset versionReset;
    Archive ar(contents);
    ar.setDocument(&doc);
    // Everything is read and checked before the document is touched; until the objects are
    // claimed the archive deletes them on any failure, in any order: no axis may follow its
    // title into what is already gone.
    struct TitlesDetached
    {
        Archive& ar;
        bool pasted = false;
        ~TitlesDetached()
        {
            if (pasted)
                return;
            const std::vector<Persistent*> created = ar.unclaimed();
            for (Persistent* p : created) {
                if (p->isKindOf(&Axis::classRecord))
                    static_cast<Axis*>(p)->SetTitle(nullptr);
            }
            AxisTitle::unlinkOneSided(created);
        }
    } titlesDetached{ar};
    std::unique_ptr<visiblelist> read = ar.readOwnedObject<visiblelist>();
    if (!read)
        throw ArchiveException(ArchiveException::Cause::generic, QStringLiteral("no objects"));

    auto listed = std::make_unique<visiblelist>();
    for (visibleobject* obj : *read) {
        if (!obj || doc.GetObjects().contains(obj))
            throw ArchiveException(ArchiveException::Cause::badIndex,
                                   QStringLiteral("a listed object is missing"));
        listed->AddUnique(obj);
    }
    // The axes of listed traces come along even when they were not listed themselves.
    visiblelist pasted = *listed;
    QList<Trace*> traces;
    for (visibleobject* obj : *listed) {
        if (!obj->isKindOf(&Trace::classRecord))
            continue;
        auto* trace = static_cast<Trace*>(obj);
        traces.append(trace);
        for (Axis* axis : {trace->GetXAxis(), trace->GetYAxis()}) {
            if (axis)
                pasted.AddUnique(axis);
        }
    }

    // Titles stay linked only when both the axis and its title are pasted.
    const std::vector<Persistent*> unclaimed = ar.unclaimed();
    QSet<const visibleobject*> titled;
    for (Persistent* p : unclaimed) {
        if (!p->isKindOf(&Axis::classRecord))
            continue;
        auto* axis = static_cast<Axis*>(p);
        visibleobject* title = axis->GetTitle();
        if (!title)
            continue;
        if (pasted.contains(axis) && pasted.contains(title) && !titled.contains(title))
            titled.insert(title);
        else
            axis->SetTitle(nullptr);
    }
    AxisTitle::unlinkOneSided(unclaimed);

    // Data files: the document's own file of the same path, else the one read.
    QList<ColumnFile*> newFiles;
    auto fileFor = [&](ColumnFile* file) -> ColumnFile* {
        if (!file)
            return nullptr;
        if (doc.GetFiles().contains(file))
            return file;
        if (ColumnFile* known = doc.GetFiles().FindByPath(file->GetFullPath()))
            return known;
        if (!newFiles.contains(file))
            newFiles.append(file);
        return file;
    };
    QList<std::pair<Trace*, ColumnFile*>> files;
    QList<std::pair<ErrorTrace*, ColumnFile*>> errorFiles;
    for (Trace* trace : traces) {
        files.append({trace, fileFor(trace->GetFile())});
        if (trace->isKindOf(&ErrorTrace::classRecord)) {
            auto* errorTrace = static_cast<ErrorTrace*>(trace);
            errorFiles.append({errorTrace, fileFor(errorTrace->GetErrorFile())});
        }
    }

    for (visibleobject* obj : pasted)
        ar.claim(obj);
    for (ColumnFile* file : newFiles)
        ar.claim(file);
    titlesDetached.pasted = true;
    // From here on nothing is left for the archive to delete that a pasted object refers to.
    for (const auto& [trace, file] : files) {
        if (trace->GetFile() != file)
            trace->SetFile(file);
    }
    for (const auto& [trace, file] : errorFiles) {
        if (trace->GetErrorFile() != file)
            trace->SetErrorFile(file);
    }
    for (ColumnFile* file : newFiles)
        doc.GetFiles().AddUnique(file);
    for (visibleobject* obj : pasted) {
        obj->SetDocument(&doc);
        doc.GetObjects().Add(std::unique_ptr<visibleobject>(obj));
    }
    return listed;
}
