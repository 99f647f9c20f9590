#include "platform/Strings.h"

#include <QStringList>
#include <algorithm>
#include <iterator>

namespace {

struct Entry
{
    int id;
    const char* text;
};

// Texts are copied word for word, double blanks and line breaks included.
constexpr Entry stringTable[] = {
    {Str::AppTitle, "Plotvane"},
    {Str::PlotDocTemplate, "\nVanePlot\nPlotvane Document\nPlotvane Files "
                           "(*.pvn)\n.pvn\nVanePlotFileType\nPlotvane Plot"},
    {Str::LogDocTemplate, "\nOutput\n\nText Files (*.txt)\n.txt\n\n"},
    {Str::OleInitFailed, "Failed to initialize OLE2 libraries"},
    {Str::DependentsPrefix, "Other objects depend on  "},
    {Str::DependentsSuffix, ".  Are you sure you want to delete?"},
    {Str::LimitsEqual, "Starting and ending limits can not be the same"},
    {Str::NameInUse, "%s  is already in use.  Choose another name."},
    {Str::ColumnDeleted, "Column %d has been\ndeleted from data file"},
    {Str::SystemDefault, "System Default"},
    {Str::MemoryError, "Memory error!"},
    {Str::AskLocateFile, "Could not find file %1.  Would you like to specify the new path name?"},
    {Str::NotDataFile, "Not able to open file as data file"},
    {Str::ParseErrorAtLine, "Error parsing file at line %s"},
    {Str::FileError, "File error"},
    {Str::ResourceError, "Resource allocation error"},
    {Str::PenSolid, "Solid"},
    {Str::PenDash, "Dash"},
    {Str::PenDot, "Dot"},
    {Str::PenDashDot, "Dash-Dot"},
    {Str::PenDashDotDot, "Dash-Dot-Dot"},
    {Str::LogTitle, "Log"},
    {Str::UnitsCm, " (cm):"},
    {Str::UnitsInch, " (in.):"},

    {Str::ErrorCaption, "Error"},
    {Str::CopyFailed, "Error copying to clipboard!"},
    {Str::CutFailed, "Error cutting to clipboard!"},
    {Str::PasteFailed, "Error pasteing from clipboard!"},
    {Str::CreateObjectFailed, "Error createing new object!"},
    {Str::AskDeleteSelection, "Do you want to delete all selected objects?"},
    {Str::AskAbsoluteValues,
     "Data contains negative x or y data.\nPlotvane can continue using absolute values , but the "
     "results are not always satisfactory, especially with zeros.  Continue using absolute "
     "values?"},
    {Str::AskOddWindow, "The smooth algorithm requires an odd window size.  Choose OK to "
                        "decrement the window size, Cancel to cancel smooth."},
    {Str::DataFileFilter, "Data Files (*.dat)|*.dat|All Files (*.*)|*.*||"},
    {Str::AnyFileFilter, "All files (*.*) | *.*||"},
    {Str::WriteDataFilter, "Data Files (*.dat) | *.dat | All Files (*.*) | *.* ||"},
    {Str::LogFileFilter, "Text Files (*.txt) | *.txt | All Files (*.*) | *.*||"},
    {Str::LogDefaultFileName, "Output.txt"},
    {Str::PowerFitTitle, "Power Fit"},
    {Str::ExponentialFitTitle, "Exponential Fit"},
    {Str::GaussianFitTitle, "Gaussian Fit"},
    {Str::FormatTicksTitle, "Format Ticks- "},
    {Str::AboutVersion, "Plotvane Version 2.0"},
    {Str::FormatObjectTitle, "Format Object"},
    {Str::DefaultsTitle, "Plotvane Defaults"},
    {Str::AboutTitle, "About PLOTVANE"},
    {Str::TickSpacingZero, "The tick spacing can not be zero."},
    {Str::LabelIntervalBelowOne, "The label interval must be at least 1."},
    {Str::TooManyTicks, "This tick spacing would put more than %1 ticks on the axis.  Choose a "
                        "larger spacing."},
    {Str::NoErrorBarsOnComputed, "Error bars can only be added to a data set read from a "
                                 "data file."},
    {Str::NoGaussianPeak, "The data have no peak, so no Gaussian can be fitted to them: the "
                          "logarithms of the values lie on a straight line."},
    {Str::TooFewPointsToSmooth, "Smoothing needs a data set of at least 8 points."},
    {Str::UndoNamed, "&Undo %1"},
    {Str::RedoNamed, "&Redo %1"},
    {Str::StepMove, "Move"},
    {Str::StepResize, "Resize"},
    {Str::StepFormatAxes, "Format Axes"},
    {Str::StepFormatObject, "Format Object"},
    {Str::StepPolynomialFit, "Polynomial Fit"},
    {Str::ExportTitle, "Export"},
    {Str::ExportPdfFilter, "PDF Files (*.pdf)"},
    {Str::ExportSvgFilter, "SVG Files (*.svg)"},
    {Str::ExportPngFilter, "PNG Files (*.png)"},
    {Str::ExportResolution, "PNG resolution (dots per inch):"},
    {Str::ExportFailed, "Could not export to %1.\n%2"},
    {Str::ExportReplace, "%1 already exists.\nDo you want to replace it?"},
    {Str::PictureFileFilter,
     "Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.svg)|*.png;*.jpg;*.jpeg;*.bmp;*.gif;*.svg|All "
     "Files (*.*)|*.*||"},
    {Str::InsertPictureTitle, "Insert Picture"},
    {Str::NewLabelText, "Label"},
    {Str::FollowedFileMissing, "%1 is missing"},
    {Str::ReadingDataFile, "Reading %1: %2% (Esc cancels)"},
    {Str::ImportDataTitle, "Import Data"},
    {Str::ImportCommentsLabel, "&Comment characters:"},
    {Str::ImportFirstLineLabel, "&First data line:"},
    {Str::ImportAutomatic, "automatic"},
    {Str::ImportHeaderLineLabel, "&Header line:"},
    {Str::ImportNoHeader, "none"},
    {Str::ImportDelimiterLabel, "&Delimiter:"},
    {Str::ImportDelimiterStandard, "Blanks, commas and tabs"},
    {Str::ImportDelimiterBlanks, "Blanks and tabs"},
    {Str::ImportDelimiterComma, "Comma"},
    {Str::ImportDelimiterSemicolon, "Semicolon"},
    {Str::ImportDelimiterTab, "Tab only"},
    {Str::ImportDelimiterAutomatic, "Automatic"},
    {Str::ImportMissingValues, "&Empty fields and text are missing values"},
    {Str::ImportPlaceholdersLabel, "&Missing value marks:"},
    {Str::ImportStripQuotes, "Strip &quotes"},
    {Str::ImportDecimalComma, "Decimal c&omma"},
    {Str::ImportBreakLines, "&Blank lines and && lines break the curve"},
    {Str::ImportDateColumnsLabel, "Da&te and time columns:"},
    {Str::ImportDateFormatLabel, "Date f&ormat:"},
    {Str::ImportDateFormatHint, "ISO 8601"},
    {Str::ImportWidestRow, "Column count from the &widest row"},
    {Str::ImportPreviewLine, "Line"},
    {Str::ImportPreviewReadAs, "Read as"},
    {Str::ImportLineEmpty, "empty"},
    {Str::ImportLineComment, "comment"},
    {Str::ImportLineSkipped, "skipped"},
    {Str::ImportLineHeader, "column names"},
    {Str::ImportLineBreak, "breaks the curve"},
    {Str::ImportLineText, "text, skipped"},
    {Str::ImportLineData, "data"},
    {Str::ImportLineStop, "ends the data"},
    {Str::ImportLineTooLong, "too long, ends the data"},
    {Str::ImportLineNotRead, "not read"},
    {Str::ImportButton, "&Import..."},
    {Str::ImportCannotRead, "The file cannot be read."},
    {Str::ImportPreviewLabel, "Preview:"},
    {Str::ImportFileFilter,
     "Data Files (*.dat *.csv *.tsv *.txt)|*.dat;*.csv;*.tsv;*.txt|All Files "
     "(*.*)|*.*||"},

    {Str::MirrorXAxisPrompt, "Creates \"Right\" axis"},
    {Str::MirrorYAxisPrompt, "Create \"top\" axis"},
    {Str::RereadDataPrompt, "Reread data file from disk"},
    {Str::FollowFilesPrompt, "Reread data files whenever they change on disk"},
    {Str::ImportDataPrompt, "Read a data file with settings for its comments, delimiters, header "
                            "and columns"},
    {Str::WriteDataPrompt, "Write x-y data to two column ASCII file"},
    {Str::CenterPagePrompt, "Centers all objects on the page"},
    {Str::TraceErrorBarsPrompt, "Adds or changes error bars to plot"},
    {Str::ErrorBarsPrompt, "Adds error bars to a plot"},
    {Str::ExportPrompt, "Save the page, or the selection, as a PDF, SVG or PNG picture"},

    {Str::IdleMessage, "Ready"},
    {Str::Untitled, "Untitled"},
    {Str::InvalidFileName, "Invalid filename."},
    {Str::FailedToOpenDoc, "Failed to open document."},
    {Str::FailedToSaveDoc, "Failed to save document."},
    {Str::AskToSave, "Save changes to %1?"},
    {Str::FailedToCreateDoc, "Failed to create empty document."},
    {Str::FileTooLarge, "The file is too large to open."},
    {Str::FailedToStartPrint, "Could not start print job."},
    {Str::InternalFailure, "Internal application error."},
    {Str::CommandFailure, "Command failed."},
    {Str::FailedMemoryAlloc, "Insufficient memory to perform operation."},
    {Str::ParseInt, "Please enter an integer."},
    {Str::ParseReal, "Please enter a number."},
    {Str::ParseIntRange, "Please enter an integer between %1 and %2."},
    {Str::ParseRealRange, "Please enter a number between %1 and %2."},
    {Str::ParseStringSize, "Please enter no more than %1 characters."},
    {Str::ParseRadioButton, "Please select a button."},
    {Str::ParseByte, "Please enter an integer between 0 and 255."},
    {Str::ParseUInt, "Please enter a positive integer."},
    {Str::FailedInvalidFormat, "Unexpected file format."},
    {Str::FailedInvalidPath,
     "%1\nCannot find this file.\nPlease verify that the correct path and file name are given."},
    {Str::FailedDiskFull, "Destination disk drive is full."},
    {Str::FailedAccessRead, "Unable to read from %1, it is opened by someone else."},
    {Str::FailedAccessWrite, "Unable to write to %1, it is read-only or opened by someone else."},
    {Str::FailedIoErrorRead, "An unexpected error occurred while reading %1."},
    {Str::FailedIoErrorWrite, "An unexpected error occurred while writing %1."},
};

// Menu texts keyed by command id; the mnemonic marker "&" is Qt's as well. Framework commands
// whose texts the plot menus need are here too.
constexpr Entry menuTable[] = {
    {32770, "Open Data &File"},
    {32771, "File &Settings"},
    {32772, "&Axes"},
    {32773, "&Object"},
    {32774, "&Settings..."},
    {32775, "&Ticks..."},
    {32776, "&Font..."},
    {32777, "&Data Settings"},
    {32778, "&Line Type"},
    {32779, "Symbol &Font"},
    {32780, "&Color"},
    {32782, "&Interpolate"},
    {32783, "&Log Window"},
    {32784, "&Close"},
    {32785, "Data &Zoom"},
    {32786, "Data &Unzoom"},
    {32787, "&Data Readout"},
    {32788, "&Polynomial"},
    {32789, "Po&wer"},
    {32790, "&Exponential"},
    {32792, "&Gaussian"},
    {32793, "Mirror &X Axis"},
    {32794, "Mirror &Y Axis"},
    {32795, "&Reread  Data"},
    {32796, "Inte&grate"},
    {32797, "Insert &Glyphpad Label"},
    {32798, "&Write Data "},
    {32799, "&Smooth"},
    {32800, "T&itle..."},
    {32801, "&Defaults"},
    {32802, "&Center Page"},
    {32803, "&Error Bars"},
    {32804, "View &Scale..."},
    {32805, "&Error Bars"},
    {32810, "&Export..."},
    {32811, "Follow Data &Files"},
    {32812, "Import &Data..."},
    {57600, "&New"},
    {57601, "&Open..."},
    {57602, "&Close"},
    {57603, "&Save"},
    {57604, "Save &As..."},
    {57606, "P&rint Setup..."},
    {57607, "&Print..."},
    {57609, "Print Pre&view"},
    {57632, "&Delete"},
    {57634, "&Copy"},
    {57635, "Cu&t"},
    {57637, "&Paste"},
    {57638, "Paste &Link"},
    {57643, "&Undo"},
    {57644, "&Redo"},
    {57664, "&About PLOTVANE..."},
    {57665, "E&xit"},
    {57856, "Insert &New Object..."},
};

template <size_t N> const char* find(const Entry (&table)[N], int id)
{
    const auto it = std::find_if(std::begin(table), std::end(table),
                                 [id](const Entry& e) { return e.id == id; });
    return it == std::end(table) ? nullptr : it->text;
}

template <size_t N> QList<int> ids(const Entry (&table)[N])
{
    QList<int> result;
    result.reserve(qsizetype(N));
    for (const Entry& e : table)
        result.append(e.id);
    std::sort(result.begin(), result.end());
    return result;
}

// Position and length of the first C placeholder (%s, %d, %i, %u, %ld, %li, %lu); -1 if none.
// "%%" is a literal percent sign and is stepped over.
qsizetype findCPlaceholder(const QString& text, qsizetype* length)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('%'))
            continue;
        qsizetype j = i + 1;
        if (text[j] == QLatin1Char('%')) {
            i = j;
            continue;
        }
        if (text[j] == QLatin1Char('l') && j + 1 < text.size())
            ++j;
        const QChar c = text[j];
        if (c == QLatin1Char('s') || c == QLatin1Char('d') || c == QLatin1Char('i') ||
            c == QLatin1Char('u')) {
            *length = j + 1 - i;
            return i;
        }
    }
    return -1;
}

QString fillC(const QString& text, const QString& arg)
{
    qsizetype length = 0;
    const qsizetype at = findCPlaceholder(text, &length);
    if (at < 0)
        return text;
    QString result = text;
    result.replace(at, length, arg);
    return result;
}

} // namespace

QString loadString(int id)
{
    const char* text = find(stringTable, id);
    return text ? QString::fromUtf8(text) : QString();
}

QString formatString(int id, const QString& arg1)
{
    const QString text = loadString(id);
    // QString::arg complains on stderr about a text without a placeholder.
    return text.contains(QLatin1Char('%')) ? text.arg(arg1) : text;
}

QString formatString(int id, const QString& arg1, const QString& arg2)
{
    // One pass over the text, so "%2" inside the first argument stays as typed.
    return loadString(id).arg(arg1, arg2);
}

QString formatC(int id, const QString& arg)
{
    return fillC(loadString(id), arg);
}

QString formatC(int id, int arg)
{
    return formatC(id, static_cast<long long>(arg));
}

QString formatC(int id, long arg)
{
    return formatC(id, static_cast<long long>(arg));
}

QString formatC(int id, long long arg)
{
    return fillC(loadString(id), QString::number(arg));
}

QString docString(int templateId, Str::DocStringIndex index)
{
    const QStringList fields = loadString(templateId).split(QLatin1Char('\n'));
    return index >= 0 && index < fields.size() ? fields[index] : QString();
}

QString menuText(int commandId)
{
    const char* text = find(menuTable, commandId);
    return text ? QString::fromUtf8(text) : QString();
}

QList<int> stringIds()
{
    return ids(stringTable);
}

QList<int> menuCommandIds()
{
    return ids(menuTable);
}

QString fillPlaceholder(const QString& text, const QString& arg)
{
    if (text.contains(QLatin1String("%1")))
        return text.arg(arg);
    return fillC(text, arg);
}
