#include "app/CommandLine.h"
#include "app/DocumentIO.h"
#include "axes/Axis.h"
#include "data/ColumnFile.h"
#include "data/DataFileMessages.h"
#include "doc/DocumentDescription.h"
#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "doc/TraceAnalysis.h"
#include "page/DocumentServices.h"
#include "platform/Exceptions.h"
#include "platform/NumberFormat.h"
#include "platform/Profile.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/Strings.h"
#include "traces/MemTrace.h"
#include "view/PageExport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <tuple>
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
    Answer question(const QString& text, const QString&, Buttons buttons, Icon) override
    {
        if (agreeing_)
            return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
        if (telling_)
            say(text);
        warned_ = true;
        return cancelAnswer(buttons);
    }
    // The data file of the command line is opened by its name: no file is chosen here.
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }

    // Questions are answered yes; or, with telling, said before they are declined.
    void agreeToQuestions(bool on) { agreeing_ = on; }
    void tellQuestions(bool on) { telling_ = on; }
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
    QStringList said_;
    bool warned_ = false;
    bool agreeing_ = false;
    bool telling_ = false;
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
std::unique_ptr<PlotDocument> openInput(const QString& path, HeadlessPrompter& prompter,
                                        const ImportSettings& settings)
{
    if (const QString problem = DocumentIO::inputProblem(path); !problem.isEmpty()) {
        prompter.say(problem);
        return nullptr;
    }
    std::unique_ptr<PlotDocument> doc;
    if (DocumentIO::isPlotDocument(path)) {
        // A document keeps the settings its data files are read with.
        if (!settings.isDefault()) {
            prompter.say(
                QStringLiteral("'%1' is a plot document: the reading options go with a data file")
                    .arg(path));
            return nullptr;
        }
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
        doc->OpenDataFile(QFileInfo(path).absoluteFilePath(), settings);
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
        const std::unique_ptr<PlotDocument> doc = openInput(in, prompter, commandLine.import);
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
        const std::unique_ptr<PlotDocument> doc = openInput(in, prompter, commandLine.import);
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

namespace {

// The values of the command line, checked as the analysis dialogs check theirs and refused with
// their texts.
class ValueCheck
{
public:
    explicit ValueCheck(HeadlessPrompter& prompter) : prompter_(prompter) {}

    bool ok() const { return ok_; }

    double number(const QString& text, double min, double max)
    {
        double value = 0.0;
        if (!ok_)
            return value;
        if (!NumberFormat::parseDouble(text, &value) || std::isnan(value)) {
            fail(loadString(Str::ParseReal));
        } else if (value < min || value > max) {
            fail(loadString(Str::ParseRealRange)
                     .arg(NumberFormat::g(min, 15), NumberFormat::g(max, 15)));
        }
        return value;
    }
    int integer(const QString& text, int min, int max)
    {
        if (!ok_)
            return 0;
        bool parsed = false;
        const int value = text.trimmed().toInt(&parsed);
        if (!parsed)
            fail(loadString(Str::ParseInt));
        else if (value < min || value > max)
            fail(loadString(Str::ParseIntRange).arg(min).arg(max));
        return value;
    }
    // "A:B" as two numbers.
    std::pair<double, double> limits(const QString& text, double min, double max)
    {
        if (text.count(QLatin1Char(':')) != 1) {
            fail(loadString(Str::ParseReal));
            return {};
        }
        const double a = number(text.section(QLatin1Char(':'), 0, 0), min, max);
        const double b = number(text.section(QLatin1Char(':'), 1), min, max);
        return {a, b};
    }
    void fail(const QString& text)
    {
        if (ok_)
            prompter_.say(text);
        ok_ = false;
    }

private:
    HeadlessPrompter& prompter_;
    bool ok_ = true;
};

constexpr double fitLimit = 1e10;
constexpr double valueLimit = 1e100;

bool writeLines(const QStringList& lines, QTextStream& out)
{
    for (const QString& line : lines)
        out << line << '\n';
    out.flush();
    return out.status() == QTextStream::Ok;
}

TraceAnalysis::FitModel fitModelNamed(const QString& name)
{
    if (name == QLatin1String("power"))
        return TraceAnalysis::FitModel::Power;
    if (name == QLatin1String("exponential"))
        return TraceAnalysis::FitModel::Exponential;
    if (name == QLatin1String("gaussian"))
        return TraceAnalysis::FitModel::Gaussian;
    return TraceAnalysis::FitModel::Polynomial;
}

} // namespace

int runAnalysis(const CommandLine& commandLine, QTextStream& out, QTextStream& err)
{
    const QString in = commandLine.files.value(0);
    return runHeadless(err, [&](HeadlessPrompter& prompter) {
        const std::unique_ptr<PlotDocument> doc = openInput(in, prompter, commandLine.import);
        if (!doc)
            return false;
        const Trace& trace = *doc->FirstTrace();
        ValueCheck check(prompter);
        QStringList report;
        switch (commandLine.analysis) {
        case CommandLine::Analysis::Fit: {
            TraceAnalysis::FitRequest request;
            const TraceAnalysis::FitModel model = fitModelNamed(commandLine.fitModel);
            if (model == TraceAnalysis::FitModel::Polynomial)
                request.order = unsigned(check.integer(commandLine.fitOrder, 1, 200));
            if (commandLine.range.isEmpty()) {
                TraceAnalysis::initialFitRange(*doc->FirstTrace(), Rect{}, request.xStart,
                                               request.xEnd);
            } else {
                std::tie(request.xStart, request.xEnd) =
                    check.limits(commandLine.range, -fitLimit, fitLimit);
            }
            if (!check.ok())
                return false;
            if (request.xStart == request.xEnd) {
                prompter.say(loadString(Str::LimitsEqual));
                return false;
            }
            prompter.agreeToQuestions(commandLine.absolute);
            prompter.tellQuestions(true);
            const TraceAnalysis::Result result = TraceAnalysis::fit(trace, model, request);
            if (!result.trace)
                return false;
            report = result.report;
            break;
        }
        case CommandLine::Analysis::Interpolate: {
            const double x = check.number(commandLine.argument, -valueLimit, valueLimit);
            const int order =
                commandLine.order.isEmpty()
                    ? 2
                    : check.integer(commandLine.order, 1, std::min(10, trace.GetNumPoints()));
            if (!check.ok())
                return false;
            const double y = TraceAnalysis::interpolate(trace, x, order);
            report = TraceAnalysis::interpolationReport(trace.GetName(), order, x, y);
            break;
        }
        case CommandLine::Analysis::Integrate: {
            const auto [a, b] = check.limits(commandLine.argument, -valueLimit, valueLimit);
            if (!check.ok())
                return false;
            report = TraceAnalysis::integrationReport(trace.GetName(), a, b,
                                                      TraceAnalysis::integrate(trace, a, b));
            break;
        }
        case CommandLine::Analysis::Smooth: {
            const unsigned maxWindow = TraceAnalysis::largestSmoothingWindow(trace.GetNumPoints());
            if (maxWindow < 3) {
                prompter.say(loadString(Str::TooFewPointsToSmooth));
                return false;
            }
            const int window = check.integer(commandLine.argument, 3, int(maxWindow));
            if (!check.ok())
                return false;
            if (window % 2 == 0) {
                prompter.say(loadString(Str::AskOddWindow));
                return false;
            }
            const std::unique_ptr<MemTrace> smoothed =
                TraceAnalysis::smooth(trace, unsigned(window));
            if (!smoothed) {
                prompter.say(loadString(Str::TooFewPointsToSmooth));
                return false;
            }
            try {
                smoothed->WriteData(commandLine.output);
            } catch (const FileException& e) {
                prompter.say(QStringLiteral("cannot write '%1': %2")
                                 .arg(commandLine.output, e.detail().isEmpty()
                                                              ? loadString(Str::FileError)
                                                              : e.detail()));
                return false;
            }
            return true;
        }
        case CommandLine::Analysis::None:
            return false;
        }
        if (!writeLines(report, out)) {
            prompter.say(QStringLiteral("cannot write the report of '%1'").arg(in));
            return false;
        }
        return true;
    });
}
