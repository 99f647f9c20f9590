#pragma once

#include "data/LineReader.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <string_view>

// How a data file is read: the plain rules (with '#' comments) unless the user chose otherwise
// in the import dialog or on the command line. Kept with the document for every data file.
struct ImportSettings
{
    enum class Delimiter {
        standard,  // runs of commas, blanks and tabs, as the plain rules read
        blanks,    // runs of blanks and tabs
        comma,     // each comma ends a field
        semicolon, // each semicolon ends a field
        tab,       // each tab ends a field
        automatic, // whichever of those the first lines use
    };

    QString comments = QStringLiteral("#"); // a line starting with one of these is skipped
    int firstDataLine = 0;                  // 1-based line of the file; 0: found as always
    int headerLine = 0;                     // 1-based line holding the column names; 0: none
    Delimiter delimiter = Delimiter::standard;
    // Empty fields and text keep their column as missing values, which break the curve.
    bool missingValues = false;
    QStringList placeholders; // fields that stand for a missing value, such as "-" or "NA"
    bool stripQuotes = false;
    bool decimalComma = false;
    bool breakLines = false; // empty lines and lines starting with '&' break the curve
    QList<int> dateColumns;  // 1-based columns of dates and times, read as seconds
    QString dateFormat;      // empty: ISO 8601; else a pattern such as "dd.MM.yyyy HH:mm"
    bool widestRow = false;  // the widest row gives the number of columns, not the first

    bool operator==(const ImportSettings&) const = default;
    bool isDefault() const { return *this == ImportSettings(); }

    // The rules a reader applies; an automatic delimiter is chosen from the sample, the start
    // of the text.
    std::shared_ptr<const LineReader::Rules> rules(std::string_view sample = {}) const;

    // The settings as kept with a document; fields that are missing or out of range read as
    // their defaults.
    QJsonObject toJson() const;
    static ImportSettings fromJson(const QJsonObject& json);
    static QString delimiterName(Delimiter d);
    static bool delimiterFromName(const QString& name, Delimiter* d);
};

// The names a header line gives the columns, split as the rules split rows; a comment mark
// before the first name is not part of it.
QStringList columnNamesOf(std::string_view headerLine, const LineReader::Rules& rules);

// Seconds since 1970-01-01 00:00 UTC for a date, or since midnight for a time of day. An empty
// pattern takes ISO 8601 ("2024-03-01", "2024-03-01T09:30:15.5Z", "09:30"); a pattern uses
// yyyy, yy, MM, M, dd, d, HH, H, hh, h, mm, m, ss, s, z (fraction of a second) and literal
// characters. Returns false for text that does not match.
bool parseDateTime(std::string_view text, std::string_view pattern, double* seconds);

// The settings that readers of data files take while a document is being read: by data file
// path. Installed for the time of a load by the one who knows them (the document file).
class ImportSettingsScope
{
public:
    explicit ImportSettingsScope(QList<std::pair<QString, ImportSettings>> byPath);
    ~ImportSettingsScope();
    ImportSettingsScope(const ImportSettingsScope&) = delete;
    ImportSettingsScope& operator=(const ImportSettingsScope&) = delete;
    // The settings for a path while a scope is installed; the default settings otherwise.
    static ImportSettings forPath(const QString& path);

private:
    QList<std::pair<QString, ImportSettings>> byPath_;
    ImportSettingsScope* previous_;
};
