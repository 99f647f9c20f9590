#include "app/CommandLine.h"
#include "app/DocumentIO.h"
#include "axes/Axis.h"
#include "data/ColumnFile.h"
#include "data/DataFileMessages.h"
#include "doc/DocumentDescription.h"
#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "page/DocumentServices.h"
#include "platform/Exceptions.h"
#include "platform/Profile.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/Strings.h"
#include "view/PageExport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>
#include <algorithm>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <utility>

namespace {

// Nobody is there to answer: messages become lines on stderr, questions take their cancelling
// answer without being shown, and either means the output comes with warnings.
class HeadlessPrompter : public Prompter
{
public:
    explicit HeadlessPrompter(QTextStream& err) : err_(err) {}

    void message(const QString& text, const QString& caption, Icon) override
    {
        // A caption names the file a message is about; the program's own captions add nothing.
        const bool names = !caption.isEmpty() && caption != loadString(Str::AppTitle) &&
                           caption != loadString(Str::ErrorCaption);
        say(names ? caption + QStringLiteral(": ") + text : text);
    }
    Answer question(const QString&, const QString&, Buttons buttons, Icon) override
    {
        warned_ = true;
        return cancelAnswer(buttons);
    }
    // The data file of the command line is the one file Open Data File asks for.
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return std::exchange(dataFile_, QString());
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }

    void offerDataFile(const QString& path) { dataFile_ = path; }
    void say(const QString& line)
    {
        const QString simple = line.simplified();
        err_ << "plotvane: " << simple << Qt::endl;
        said_.append(simple);
        warned_ = true;
    }
    void warn() { warned_ = true; }
    bool warned() const { return warned_; }
    bool hasSaid() const { return !said_.isEmpty(); }
    bool mentions(const QString& path) const
    {
        return std::any_of(said_.begin(), said_.end(),
                           [&path](const QString& line) { return line.contains(path); });
    }

private:
    QTextStream& err_;
    QString dataFile_;
    QStringList said_;
    bool warned_ = false;
};

bool isMemoryFailure(const std::exception& e)
{
    return dynamic_cast<const std::bad_alloc*>(&e) || dynamic_cast<const MemoryException*>(&e);
}

// The framework's text for a document that could not be read.
QString openFailureText(const std::exception& error, const QString& path)
{
    int id = Str::FailedToOpenDoc;
    QString file = path;
    if (dynamic_cast<const ArchiveException*>(&error)) {
        id = Str::FailedInvalidFormat;
    } else if (const auto* e = dynamic_cast<const FileException*>(&error)) {
        if (!e->fileName().isEmpty())
            file = e->fileName();
        switch (e->cause()) {
        case FileException::Cause::invalidFile:
            id = Str::FailedInvalidFormat;
            break;
        case FileException::Cause::fileNotFound:
        case FileException::Cause::badPath:
            id = Str::FailedInvalidPath;
            break;
        case FileException::Cause::accessDenied:
            id = Str::FailedAccessRead;
            break;
        default:
            break;
        }
    }
    return fillPlaceholder(loadString(id), file);
}

// What a view does before drawing: axes take their ranges from the data, traces their limits.
void layOut(PlotDocument& doc)
{
    for (visibleobject* obj : doc.GetObjects()) {
        if (obj->isKindOf(&Axis::classRecord))
            static_cast<Axis*>(obj)->AutoRange();
    }
    doc.GetObjects().RelayoutAll();
}

// Data files that could not be read whole: the plot goes on without them, or with the rows
// before the break. Each is named once (the loader may have named it already).
void reportDataFiles(const PlotDocument& doc, HeadlessPrompter& prompter)
{
    for (int i = 0; i < doc.GetFiles().count(); ++i) {
        const ColumnFile& file = *doc.GetFiles().at(i);
        const ColumnFile::ReadState state = file.GetReadState();
        if (state == ColumnFile::ReadState::read)
            continue;
        if (state == ColumnFile::ReadState::memoryError)
            throw MemoryException(file.GetFullPath());
        prompter.warn();
        const QString path = file.GetFullPath();
        if (prompter.mentions(path))
            continue;
        if (file.GetNumColumns() == 0 && !QFileInfo::exists(path))
            prompter.say(fillPlaceholder(loadString(Str::FailedInvalidPath), path));
        else
            prompter.say(path + QStringLiteral(": ") + dataFileMessage(file).text);
    }
}

// The input as a plotted document, or null once the reason has been said. Memory failures pass.
std::unique_ptr<PlotDocument> openInput(const QString& path, HeadlessPrompter& prompter)
{
    if (const QString problem = DocumentIO::inputProblem(path); !problem.isEmpty()) {
        prompter.say(problem);
        return nullptr;
    }
    std::unique_ptr<PlotDocument> doc;
    if (DocumentIO::isPlotDocument(path)) {
        try {
            doc = loadDocument(path);
        } catch (const std::exception& e) {
            if (isMemoryFailure(e))
                throw;
            prompter.say(
                QStringLiteral("cannot open '%1': %2").arg(path, openFailureText(e, path)));
            return nullptr;
        }
    } else {
        // No trace editors are installed without a window, so the new trace opens no dialog.
        doc = std::make_unique<PlotDocument>();
        prompter.offerDataFile(QFileInfo(path).absoluteFilePath());
        doc->OpenDataFile();
        if (!doc->HoldsTrace()) {
            // The reader has said why, as a message.
            if (!prompter.hasSaid())
                prompter.say(QStringLiteral("cannot plot '%1': no data").arg(path));
            return nullptr;
        }
    }
    reportDataFiles(*doc, prompter);
    layOut(*doc);
    return doc;
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat sa
    {
    }, sb{};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// The input, or a data file the plot is drawn from, that the output would overwrite.
std::optional<QString> overwrittenInput(const QString& out, const QString& in,
                                        const PlotDocument* doc)
{
    if (sameFile(out, in))
        return in;
    for (int i = 0; doc && i < doc->GetFiles().count(); ++i) {
        const QString data = doc->GetFiles().at(i)->GetFullPath();
        if (sameFile(out, data))
            return data;
    }
    return std::nullopt;
}

// Runs a command with the settings of the profile and the prompter installed; work returns
// false after saying why it failed.
template <class Work> int runHeadless(QTextStream& err, Work work)
{
    HeadlessPrompter prompter(err);
    PrompterScope prompterScope(&prompter);
    try {
        {
            const Profile profile;
            defaultSettings().read(profile);
        }
        if (!work(prompter))
            return exitFailure;
    } catch (const std::exception& e) {
        prompter.say(isMemoryFailure(e) ? loadString(Str::MemoryError)
                                        : QStringLiteral("failed: %1").arg(e.what()));
        return exitFailure;
    }
    return prompter.warned() ? exitWarnings : exitOk;
}

} // namespace

int runExport(const CommandLine& commandLine, QTextStream& err)
{
    const QString& out = commandLine.output;
    const QString format =
        commandLine.format.isEmpty() ? QFileInfo(out).suffix().toLower() : commandLine.format;
    const bool document = format == QLatin1String("pvn");
    const std::optional<PageFormat> picture = pageFormatNamed(format);
    if (!picture && !document) {
        err << "plotvane: "
            << QStringLiteral("cannot export to '%1': the file name must end in .pdf, .svg, "
                              ".png or .pvn, or --format must say which")
                   .arg(out)
            << Qt::endl;
        return exitFailure;
    }
    if (commandLine.dpi != 0 &&
        (commandLine.dpi < PageExport::minDpi || commandLine.dpi > PageExport::maxDpi)) {
        err << "plotvane: "
            << QStringLiteral("--dpi %1 is outside %2 to %3")
                   .arg(commandLine.dpi)
                   .arg(PageExport::minDpi)
                   .arg(PageExport::maxDpi)
            << Qt::endl;
        return exitFailure;
    }
    const QString in = commandLine.files.value(0);
    return runHeadless(err, [&](HeadlessPrompter& prompter) {
        auto refuseOverwriting = [&](const QString& input) {
            prompter.say(
                QStringLiteral("cannot export to '%1': it is the input file '%2'").arg(out, input));
            return false;
        };
        if (const auto input = overwrittenInput(out, in, nullptr))
            return refuseOverwriting(*input);
        const std::unique_ptr<PlotDocument> doc = openInput(in, prompter);
        if (!doc)
            return false;
        if (const auto input = overwrittenInput(out, in, doc.get()))
            return refuseOverwriting(*input);
        try {
            if (document)
                saveDocument(*doc, out);
            else
                exportPage(*doc, out, *picture, commandLine.dpi);
        } catch (const FileException& e) {
            prompter.say(
                QStringLiteral("cannot write '%1': %2")
                    .arg(out, e.detail().isEmpty() ? loadString(Str::FileError) : e.detail()));
            return false;
        } catch (const ArchiveException& e) {
            prompter.say(QStringLiteral("cannot write '%1': %2").arg(out, e.detail()));
            return false;
        }
        return true;
    });
}

int runDescribe(const CommandLine& commandLine, QTextStream& out, QTextStream& err)
{
    const QString in = commandLine.files.value(0);
    return runHeadless(err, [&](HeadlessPrompter& prompter) {
        const std::unique_ptr<PlotDocument> doc = openInput(in, prompter);
        if (!doc)
            return false;
        out << QJsonDocument(describeDocument(*doc, commandLine.values))
                   .toJson(QJsonDocument::Indented);
        out.flush();
        if (out.status() != QTextStream::Ok) {
            prompter.say(QStringLiteral("cannot write the description of '%1'").arg(in));
            return false;
        }
        return true;
    });
}
