#include "app/CommandLine.h"

#include "view/PageExport.h"

#include <QSet>
#include <QTextStream>

namespace {

// Qt's options that take a value, and those that do not; they are Qt's to handle.
const QSet<QString>& qtOptionsWithValue()
{
    static const QSet<QString> names{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowtitle"),
        QStringLiteral("qwindowicon"),     QStringLiteral("display"),
        QStringLiteral("geometry"),        QStringLiteral("title"),
        QStringLiteral("style"),           QStringLiteral("stylesheet"),
        QStringLiteral("session"),         QStringLiteral("name"),
    };
    return names;
}

const QSet<QString>& qtFlags()
{
    static const QSet<QString> names{
        QStringLiteral("reverse"), QStringLiteral("nograb"),      QStringLiteral("dograb"),
        QStringLiteral("sync"),    QStringLiteral("widgetcount"),
    };
    return names;
}

CommandLine invalid(const QString& message)
{
    CommandLine c;
    c.mode = CommandLine::Mode::Invalid;
    c.error = message;
    return c;
}

// What an analysis option takes, for the messages.
QString analysisValue(const QString& name)
{
    if (name == QLatin1String("fit"))
        return QStringLiteral("polynomial:N, power, exponential or gaussian");
    if (name == QLatin1String("interpolate"))
        return QStringLiteral("an x value");
    if (name == QLatin1String("integrate"))
        return QStringLiteral("the limits A:B");
    return QStringLiteral("a window size");
}

QString analysisName(CommandLine::Analysis analysis)
{
    switch (analysis) {
    case CommandLine::Analysis::Fit:
        return QStringLiteral("fit");
    case CommandLine::Analysis::Interpolate:
        return QStringLiteral("interpolate");
    case CommandLine::Analysis::Integrate:
        return QStringLiteral("integrate");
    default:
        return QStringLiteral("smooth");
    }
}

// The reading settings of a data file; false with *error set for a value that is not right.
bool parseImportOption(const QString& name, const QString& value, bool hasValue, ImportSettings& s,
                       QString* error)
{
    auto wholeNumber = [&](int* n) {
        bool ok = false;
        *n = value.toInt(&ok);
        if (!ok || *n < 1)
            *error = QStringLiteral("--%1 needs a line number from 1, not '%2'").arg(name, value);
        return ok && *n >= 1;
    };
    if (name == QLatin1String("comment")) {
        s.comments = value;
    } else if (name == QLatin1String("delimiter")) {
        const QString v = value.toLower() == QLatin1String("auto") ? QStringLiteral("automatic")
                                                                   : value.toLower();
        if (!ImportSettings::delimiterFromName(v, &s.delimiter)) {
            *error = QStringLiteral("--delimiter needs standard, blanks, comma, semicolon, tab "
                                    "or auto, not '%1'")
                         .arg(value);
            return false;
        }
    } else if (name == QLatin1String("first-line")) {
        return wholeNumber(&s.firstDataLine);
    } else if (name == QLatin1String("header-line")) {
        return wholeNumber(&s.headerLine);
    } else if (name == QLatin1String("missing")) {
        s.missingValues = true;
        if (hasValue)
            s.placeholders = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
    } else if (name == QLatin1String("date-column")) {
        for (const QString& part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const int c = part.toInt(&ok);
            if (!ok || c < 1 || c > LineReader::maxColumns) {
                *error = QStringLiteral("--date-column needs column numbers from 1 to %1, not "
                                        "'%2'")
                             .arg(LineReader::maxColumns)
                             .arg(value);
                return false;
            }
            if (!s.dateColumns.contains(c))
                s.dateColumns.append(c);
        }
    } else if (name == QLatin1String("date-format")) {
        s.dateFormat = value;
    } else if (name == QLatin1String("quotes")) {
        s.stripQuotes = true;
    } else if (name == QLatin1String("decimal-comma")) {
        s.decimalComma = true;
    } else if (name == QLatin1String("break-lines")) {
        s.breakLines = true;
    } else if (name == QLatin1String("widest-row")) {
        s.widestRow = true;
    }
    return true;
}

bool isImportOption(const QString& name, bool* takesValue)
{
    static const QSet<QString> withValue{
        QStringLiteral("comment"),     QStringLiteral("delimiter"),   QStringLiteral("first-line"),
        QStringLiteral("header-line"), QStringLiteral("date-column"), QStringLiteral("date-format"),
    };
    static const QSet<QString> flags{
        QStringLiteral("missing"),       QStringLiteral("quotes"),
        QStringLiteral("decimal-comma"), QStringLiteral("break-lines"),
        QStringLiteral("widest-row"),
    };
    *takesValue = withValue.contains(name);
    return *takesValue || flags.contains(name);
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine c;
    bool exporting = false;
    bool describing = false;
    bool dpiGiven = false;
    bool formatGiven = false;
    bool optionsEnd = false;
    QString importOption; // the first reading option given
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (optionsEnd || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            c.files.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        QString value;
        bool hasValue = false;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };

        if (name == QLatin1String("help") || name == QLatin1String("h")) {
            c.mode = Mode::Help;
            return c;
        }
        if (name == QLatin1String("version") || name == QLatin1String("v")) {
            c.mode = Mode::Version;
            return c;
        }
        if (name == QLatin1String("export")) {
            if (!takeValue() || value.isEmpty())
                return invalid(QStringLiteral("--export needs an output file (OUT.pdf, OUT.svg, "
                                              "OUT.png or OUT.pvn)"));
            if (exporting)
                return invalid(QStringLiteral("--export is given twice"));
            exporting = true;
            c.output = value;
        } else if (name == QLatin1String("dpi")) {
            if (!takeValue())
                return invalid(QStringLiteral("--dpi needs a number"));
            bool ok = false;
            c.dpi = value.toInt(&ok);
            if (!ok || c.dpi <= 0)
                return invalid(
                    QStringLiteral("--dpi needs a positive whole number, not '%1'").arg(value));
            dpiGiven = true;
        } else if (name == QLatin1String("format")) {
            if (!takeValue())
                return invalid(QStringLiteral("--format needs pdf, svg, png or pvn"));
            c.format = value.toLower();
            if (!pageFormatNamed(c.format) && c.format != QLatin1String("pvn"))
                return invalid(
                    QStringLiteral("--format needs pdf, svg, png or pvn, not '%1'").arg(value));
            formatGiven = true;
        } else if (name == QLatin1String("describe") && !hasValue) {
            describing = true;
        } else if (name == QLatin1String("values") && !hasValue) {
            describing = true;
            c.values = true;
        } else if (name == QLatin1String("fit") || name == QLatin1String("interpolate") ||
                   name == QLatin1String("integrate") || name == QLatin1String("smooth")) {
            if (c.analysis != Analysis::None)
                return invalid(QStringLiteral("only one of --fit, --interpolate, --integrate and "
                                              "--smooth can be given"));
            if (!takeValue() || value.isEmpty())
                return invalid(QStringLiteral("--%1 needs %2").arg(name, analysisValue(name)));
            c.argument = value;
            if (name == QLatin1String("fit")) {
                c.analysis = Analysis::Fit;
                const QString model = value.section(QLatin1Char(':'), 0, 0).toLower();
                c.fitModel = model;
                c.fitOrder = value.section(QLatin1Char(':'), 1);
                const bool polynomial = model == QLatin1String("polynomial");
                if ((polynomial && c.fitOrder.isEmpty()) ||
                    (!polynomial &&
                     (value.contains(QLatin1Char(':')) ||
                      (model != QLatin1String("power") && model != QLatin1String("exponential") &&
                       model != QLatin1String("gaussian")))))
                    return invalid(
                        QStringLiteral("--fit needs %1, not '%2'").arg(analysisValue(name), value));
            } else if (name == QLatin1String("interpolate")) {
                c.analysis = Analysis::Interpolate;
            } else if (name == QLatin1String("integrate")) {
                c.analysis = Analysis::Integrate;
            } else {
                c.analysis = Analysis::Smooth;
                if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--")))
                    return invalid(QStringLiteral("--smooth needs a window size and an output "
                                                  "file: --smooth N OUT FILE"));
                c.output = arguments[++i];
            }
        } else if (name == QLatin1String("range") || name == QLatin1String("order")) {
            if (!takeValue() || value.isEmpty())
                return invalid(QStringLiteral("--%1 needs %2")
                                   .arg(name, name == QLatin1String("range")
                                                  ? QStringLiteral("XMIN:XMAX")
                                                  : QStringLiteral("a whole number")));
            (name == QLatin1String("range") ? c.range : c.order) = value;
        } else if (name == QLatin1String("absolute") && !hasValue) {
            c.absolute = true;
        } else if (bool takesValue = false; isImportOption(name, &takesValue)) {
            if (takesValue && !takeValue())
                return invalid(QStringLiteral("--%1 needs a value (see --help)").arg(name));
            if (!takesValue && hasValue && name != QLatin1String("missing"))
                return invalid(QStringLiteral("--%1 takes no value").arg(name));
            QString error;
            if (!parseImportOption(name, value, hasValue, c.import, &error))
                return invalid(error);
            if (importOption.isEmpty())
                importOption = QStringLiteral("--") + name;
        } else if (qtOptionsWithValue().contains(name)) {
            if (!hasValue)
                ++i;
        } else if (qtFlags().contains(name) || name.startsWith(QLatin1String("qmljsdebugger"))) {
            continue;
        } else {
            return invalid(QStringLiteral("unknown option '%1' (see --help)").arg(arg));
        }
    }

    const bool analysing = c.analysis != Analysis::None;
    if (int(exporting) + int(describing) + int(analysing) > 1)
        return invalid(QStringLiteral("--export, --describe and the analysis options cannot be "
                                      "used together"));
    if (!c.range.isEmpty() && c.analysis != Analysis::Fit)
        return invalid(QStringLiteral("--range goes with --fit"));
    if (c.absolute && c.analysis != Analysis::Fit)
        return invalid(QStringLiteral("--absolute goes with --fit"));
    if (!c.order.isEmpty() && c.analysis != Analysis::Interpolate)
        return invalid(QStringLiteral("--order goes with --interpolate"));
    if (dpiGiven && !exporting)
        return invalid(QStringLiteral("--dpi goes with --export"));
    if (formatGiven && !exporting)
        return invalid(QStringLiteral("--format goes with --export"));
    if (!importOption.isEmpty() && !exporting && !describing && !analysing)
        return invalid(QStringLiteral("%1 goes with --export, --describe or an analysis option")
                           .arg(importOption));
    if (exporting || describing || analysing) {
        const QString option = exporting    ? QStringLiteral("--export")
                               : describing ? QStringLiteral("--describe")
                                            : QStringLiteral("--") + analysisName(c.analysis);
        if (c.files.isEmpty())
            return invalid(
                QStringLiteral("%1 needs an input file (a .pvn plot or a data file)").arg(option));
        if (c.files.size() > 1)
            return invalid(
                QStringLiteral("%1 takes one input file, not %2").arg(option).arg(c.files.size()));
        c.mode = exporting ? Mode::Export : describing ? Mode::Describe : Mode::Analyse;
    }
    return c;
}

QString usageText(const QString& program)
{
    return QStringLiteral(
               "Usage: %1 [options] [FILE...]\n"
               "Technical x-y plots from ASCII column data files.\n"
               "\n"
               "FILE is a Plotvane plot (.pvn) or an ASCII column data file, which is plotted\n"
               "as Open Data File does.\n"
               "\n"
               "Options:\n"
               "  -h, --help             Show this help and exit.\n"
               "  -v, --version          Show the version and exit.\n"
               "  --export OUT [--dpi N] [--format F] FILE\n"
               "                         Render FILE to OUT as the printer would and exit.\n"
               "                         OUT ends in .pdf, .svg or .png; N is the resolution\n"
               "                         of a PNG in dots per inch (default %2). PDF and SVG\n"
               "                         keep full precision whatever N is. With OUT ending\n"
               "                         in .pvn, FILE is saved as a plot document instead.\n"
               "  --format F             With --export: write F (pdf, svg, png or pvn)\n"
               "                         whatever OUT is called, e.g. --export /dev/stdout.\n"
               "  --describe FILE        Print a JSON description of FILE and exit.\n"
               "  --values               With --describe: include the plotted numbers.\n"
               "  --fit MODEL [--range XMIN:XMAX] [--absolute] FILE\n"
               "                         Fit the first data set of FILE and print the report:\n"
               "                         MODEL is polynomial:N (order N), power, exponential\n"
               "                         or gaussian. --range limits the x values fitted\n"
               "                         (default: all); --absolute lets the last three fit\n"
               "                         data with x or y at or below zero through absolute\n"
               "                         values, which the window asks about.\n"
               "  --interpolate X [--order N] FILE\n"
               "                         Print y at X from a polynomial of order N (default\n"
               "                         2) through the neighbouring points.\n"
               "  --integrate A:B FILE   Print the area under the data from x = A to B.\n"
               "  --smooth N OUT FILE    Write the moving average over N points (odd, at\n"
               "                         least 3) to OUT as two columns, as Write Data does.\n"
               "\n"
               "How a data file FILE is read, with --export, --describe and the analysis\n"
               "options (as the Import Data dialog sets it):\n"
               "  --comment CHARS        Lines starting with one of CHARS are skipped\n"
               "                         (default #; --comment= for none).\n"
               "  --delimiter D          standard (runs of blanks, commas and tabs; the\n"
               "                         default), blanks, comma, semicolon, tab or auto.\n"
               "  --first-line N         The data start at line N; the lines before are skipped.\n"
               "  --header-line N        Line N names the columns.\n"
               "  --missing[=A,B,...]    Empty fields and text are missing values, as are the\n"
               "                         fields A, B, ... (e.g. --missing=-,NA); they break\n"
               "                         the curve.\n"
               "  --date-column N[,M...] Columns of dates and times, read as seconds.\n"
               "  --date-format F        Their pattern (e.g. dd.MM.yyyy HH:mm); ISO 8601 if\n"
               "                         not given.\n"
               "  --quotes               Strip the quotes around fields.\n"
               "  --decimal-comma        Numbers are written with a decimal comma.\n"
               "  --break-lines          Empty lines and lines starting with & break the curve.\n"
               "  --widest-row           The widest row gives the number of columns.\n"
               "\n"
               "  -platform NAME         Use the Qt platform plugin NAME (e.g. offscreen).\n"
               "\n"
               "The analysis options print the lines the Log window would show. They and\n"
               "--export and --describe need no display and ask nothing: they take the\n"
               "default settings of the profile, as the window does (PLOTVANE_PROFILE names\n"
               "another profile file), and print what went wrong as lines on stderr.\n"
               "An existing file OUT is replaced only once the new one is complete; a device\n"
               "or FIFO is written into. OUT may not be FILE or one of its data files.\n"
               "\n"
               "Exit status:\n"
               "  0  done\n"
               "  1  failed; nothing was written and an existing OUT is as it was\n"
               "  2  the command line is wrong\n"
               "  3  written with warnings: a data file is missing or was read only in part\n")
        .arg(program)
        .arg(PageExport::defaultDpi);
}
