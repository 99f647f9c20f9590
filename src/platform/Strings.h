#pragma once

#include <QList>
#include <QString>

// The program's texts, keyed by their resource ids. Every user-visible text comes from here.
namespace Str {
enum Id : int {
    // Main frame title and the document templates' description strings
    AppTitle = 2,        // "Plotvane"
    PlotDocTemplate = 3, // "\nVanePlot\nPlotvane Document\nPlotvane Files (*.pvn)\n.pvn\n..."
    LogDocTemplate = 4,  // "\nOutput\n\nText Files (*.txt)\n.txt\n\n"

    OleInitFailed = 100,    // "Failed to initialize OLE2 libraries"
    DependentsPrefix = 105, // "Other objects depend on  " (then the object's name)
    DependentsSuffix = 106, // ".  Are you sure you want to delete?"
    LimitsEqual = 107,      // "Starting and ending limits can not be the same"
    NameInUse = 108,        // "%s  is already in use.  Choose another name."
    ColumnDeleted = 109,    // "Column %d has been\ndeleted from data file"
    SystemDefault = 110,    // "System Default"
    MemoryError = 111,      // "Memory error!"
    AskLocateFile = 112,    // "Could not find file %1.  Would you like to specify ..."
    NotDataFile = 113,      // "Not able to open file as data file"
    ParseErrorAtLine = 114, // "Error parsing file at line %s" (the number of rows kept)
    FileError = 115,        // "File error"
    ResourceError = 116,    // "Resource allocation error"
    // Pen style names, in pen style order (solid 0 .. dash-dot-dot 4)
    PenSolid = 117,
    PenDash = 118,
    PenDot = 119,
    PenDashDot = 120,
    PenDashDotDot = 121,
    LogTitle = 123, // "Log"
    // Unit captions appended to length labels
    UnitsCm = 131,   // " (cm):"
    UnitsInch = 132, // " (in.):"

    // Texts the program shows that have no resource id of their own
    ErrorCaption = 0x7000,        // "Error"
    CopyFailed = 0x7001,          // "Error copying to clipboard!"
    CutFailed = 0x7002,           // "Error cutting to clipboard!"
    PasteFailed = 0x7003,         // "Error pasteing from clipboard!"
    CreateObjectFailed = 0x7004,  // "Error createing new object!"
    AskDeleteSelection = 0x7005,  // "Do you want to delete all selected objects?"
    AskAbsoluteValues = 0x7006,   // "Data contains negative x or y data.\n..."
    AskOddWindow = 0x7007,        // "The smooth algorithm requires an odd window size.  ..."
    DataFileFilter = 0x7008,      // "Data Files (*.dat)|*.dat|All Files (*.*)|*.*||"
    AnyFileFilter = 0x7009,       // "All files (*.*) | *.*||"
    WriteDataFilter = 0x700A,     // "Data Files (*.dat) | *.dat | All Files (*.*) | *.* ||"
    LogFileFilter = 0x700B,       // "Text Files (*.txt) | *.txt | All Files (*.*) | *.*||"
    LogDefaultFileName = 0x700C,  // "Output.txt"
    PowerFitTitle = 0x700D,       // "Power Fit"
    ExponentialFitTitle = 0x700E, // "Exponential Fit"
    GaussianFitTitle = 0x700F,    // "Gaussian Fit"
    FormatTicksTitle = 0x7010,    // "Format Ticks- " (then the axis name)
    AboutVersion = 0x7011,        // "Plotvane Version 2.0"
    FormatObjectTitle = 0x7012,   // "Format Object"
    DefaultsTitle = 0x7013,       // "Plotvane Defaults"
    AboutTitle = 0x7014,          // "About PLOTVANE"
    // Tick settings the axis drawing cannot use
    TickSpacingZero = 0x7040,       // "The tick spacing can not be zero."
    LabelIntervalBelowOne = 0x7041, // "The label interval must be at least 1."
    TooManyTicks = 0x7042, // "This tick spacing would put more than %1 ticks on the axis..."
    // A computed data set holds its own values; error bars read a file
    NoErrorBarsOnComputed = 0x7043, // "Error bars can only be added to a data set read from..."
    // Analysis that the data do not allow
    NoGaussianPeak = 0x7050,       // "The data have no peak, so no Gaussian can be fitted..."
    TooFewPointsToSmooth = 0x7051, // "Smoothing needs a data set of at least 8 points."
    // Undo and redo: the menu lines and the names of steps that are not menu commands
    UndoNamed = 0x7180,         // "&Undo %1"
    RedoNamed = 0x7181,         // "&Redo %1"
    StepMove = 0x7182,          // "Move"
    StepResize = 0x7183,        // "Resize"
    StepFormatAxes = 0x7184,    // "Format Axes"
    StepFormatObject = 0x7185,  // "Format Object"
    StepPolynomialFit = 0x7186, // "Polynomial Fit"
    // File Export
    ExportTitle = 0x7190,      // "Export"
    ExportPdfFilter = 0x7191,  // "PDF Files (*.pdf)"
    ExportSvgFilter = 0x7192,  // "SVG Files (*.svg)"
    ExportPngFilter = 0x7193,  // "PNG Files (*.png)"
    ExportResolution = 0x7194, // "PNG resolution (dots per inch):"
    ExportFailed = 0x7195,     // "Could not export to %1.\n%2"
    ExportReplace = 0x7196,    // "%1 already exists.\nDo you want to replace it?"
    // Embedded objects
    PictureFileFilter = 0x7060,  // "Pictures (*.png *.jpg ...)|...|All Files (*.*)|*.*||"
    InsertPictureTitle = 0x7061, // "Insert Picture"
    NewLabelText = 0x7062,       // "Label"
    // Data files followed as they change
    FollowedFileMissing = 0x7070, // "%1 is missing"
    ReadingDataFile = 0x7071,     // "Reading %1: %2% (Esc cancels)"
    // Import of data files with settings
    ImportDataTitle = 0x7078,          // "Import Data"
    ImportCommentsLabel = 0x7079,      // "&Comment characters:"
    ImportFirstLineLabel = 0x707A,     // "&First data line:"
    ImportAutomatic = 0x707B,          // "automatic"
    ImportHeaderLineLabel = 0x707C,    // "&Header line:"
    ImportNoHeader = 0x707D,           // "none"
    ImportDelimiterLabel = 0x707E,     // "&Delimiter:"
    ImportDelimiterStandard = 0x707F,  // "Blanks, commas and tabs"
    ImportDelimiterBlanks = 0x7080,    // "Blanks and tabs"
    ImportDelimiterComma = 0x7081,     // "Comma"
    ImportDelimiterSemicolon = 0x7082, // "Semicolon"
    ImportDelimiterTab = 0x7083,       // "Tab only"
    ImportDelimiterAutomatic = 0x7084, // "Automatic"
    ImportMissingValues = 0x7085,      // "&Empty fields and text are missing values"
    ImportPlaceholdersLabel = 0x7086,  // "&Missing value marks:"
    ImportStripQuotes = 0x7087,        // "Strip &quotes"
    ImportDecimalComma = 0x7088,       // "Decimal c&omma"
    ImportBreakLines = 0x7089,         // "&Blank lines and && lines break the curve"
    ImportDateColumnsLabel = 0x708A,   // "Da&te and time columns:"
    ImportDateFormatLabel = 0x708B,    // "Date f&ormat:"
    ImportDateFormatHint = 0x708C,     // "ISO 8601"
    ImportWidestRow = 0x708D,          // "Column count from the &widest row"
    ImportPreviewLine = 0x708E,        // "Line"
    ImportPreviewReadAs = 0x708F,      // "Read as"
    ImportLineEmpty = 0x7090,          // "empty"
    ImportLineComment = 0x7091,        // "comment"
    ImportLineSkipped = 0x7092,        // "skipped"
    ImportLineHeader = 0x7093,         // "column names"
    ImportLineBreak = 0x7094,          // "breaks the curve"
    ImportLineText = 0x7095,           // "text, skipped"
    ImportLineData = 0x7096,           // "data"
    ImportLineStop = 0x7097,           // "ends the data"
    ImportLineTooLong = 0x7098,        // "too long, ends the data"
    ImportLineNotRead = 0x7099,        // "not read"
    ImportButton = 0x709A,             // "&Import..."
    ImportCannotRead = 0x709B,         // "The file cannot be read."
    ImportPreviewLabel = 0x709C,       // "Preview:"
    ImportFileFilter = 0x709D, // "Data Files (*.dat *.csv *.tsv *.txt)|...|All Files (*.*)|*.*||"

    // Status-bar prompts: the same ids as their commands
    MirrorXAxisPrompt = 32793,    // "Creates "Right" axis"
    MirrorYAxisPrompt = 32794,    // "Create "top" axis"
    RereadDataPrompt = 32795,     // "Reread data file from disk"
    FollowFilesPrompt = 32811,    // "Reread data files whenever they change on disk"
    ImportDataPrompt = 32812,     // "Read a data file with settings for its comments, ..."
    WriteDataPrompt = 32798,      // "Write x-y data to two column ASCII file"
    CenterPagePrompt = 32802,     // "Centers all objects on the page"
    TraceErrorBarsPrompt = 32803, // "Adds or changes error bars to plot"
    ErrorBarsPrompt = 32805,      // "Adds error bars to a plot"
    ExportPrompt = 32810,         // "Save the page, or the selection, as a PDF, SVG or PNG picture"

    // The application framework's own texts
    IdleMessage = 0xE001,        // "Ready" (the status bar when no prompt is shown)
    Untitled = 0xF000,           // "Untitled" (title of a new document)
    InvalidFileName = 0xF100,    // "Invalid filename."
    FailedToOpenDoc = 0xF101,    // "Failed to open document."
    FailedToSaveDoc = 0xF102,    // "Failed to save document."
    AskToSave = 0xF103,          // "Save changes to %1?"
    FailedToCreateDoc = 0xF104,  // "Failed to create empty document."
    FileTooLarge = 0xF105,       // "The file is too large to open."
    FailedToStartPrint = 0xF106, // "Could not start print job."
    InternalFailure = 0xF108,    // "Internal application error."
    CommandFailure = 0xF109,     // "Command failed."
    FailedMemoryAlloc = 0xF10A,  // "Insufficient memory to perform operation."
    // Dialog data exchange
    ParseInt = 0xF110,         // "Please enter an integer."
    ParseReal = 0xF111,        // "Please enter a number."
    ParseIntRange = 0xF112,    // "Please enter an integer between %1 and %2."
    ParseRealRange = 0xF113,   // "Please enter a number between %1 and %2."
    ParseStringSize = 0xF114,  // "Please enter no more than %1 characters."
    ParseRadioButton = 0xF115, // "Please select a button."
    ParseByte = 0xF116,        // "Please enter an integer between 0 and 255."
    ParseUInt = 0xF117,        // "Please enter a positive integer."
    // File failures, %1 is the file name
    FailedInvalidFormat = 0xF120, // "Unexpected file format."
    FailedInvalidPath = 0xF121,   // "%1\nCannot find this file.\n..."
    FailedDiskFull = 0xF122,      // "Destination disk drive is full."
    FailedAccessRead = 0xF123,    // "Unable to read from %1, it is opened by someone else."
    FailedAccessWrite = 0xF124,   // "Unable to write to %1, it is read-only or opened by ..."
    FailedIoErrorRead = 0xF125,   // "An unexpected error occurred while reading %1."
    FailedIoErrorWrite = 0xF126,  // "An unexpected error occurred while writing %1."
};

// The fields of a document template's description string (PlotDocTemplate, LogDocTemplate),
// separated by "\n".
enum DocStringIndex : int {
    WindowTitle = 0,
    DocName = 1,
    FileNewName = 2,
    FilterName = 3,
    FilterExt = 4,
    RegFileTypeId = 5,
    RegFileTypeName = 6,
};
} // namespace Str

// The text with this id; an empty string for an unknown id.
QString loadString(int id);
// The text with %1, %2 ... replaced by the arguments (like the framework's message formatting).
// The arguments are inserted as they are: a "%1" inside an argument is not replaced again.
QString formatString(int id, const QString& arg1);
QString formatString(int id, const QString& arg1, const QString& arg2);
// Texts written with one C placeholder: the first %s (string form) or %d / %ld (number form)
// is filled. A text without such a placeholder comes back unchanged.
QString formatC(int id, const QString& arg);
QString formatC(int id, int arg);
QString formatC(int id, long arg);
QString formatC(int id, long long arg);
// One field of a document template's description string; empty when absent.
QString docString(int templateId, Str::DocStringIndex index);
// The menu text of a command ("&Center Page" for 32802); empty for an unknown command.
QString menuText(int commandId);
// Every id of the string table, and every command with a menu text, ascending.
QList<int> stringIds();
QList<int> menuCommandIds();

// Fills one placeholder of a text: %1 where the text has one, else the first %s, %d or %ld.
// Used where a text from the table is completed with one argument.
QString fillPlaceholder(const QString& text, const QString& arg);
