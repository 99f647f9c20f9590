#pragma once

#include "data/ImportSettings.h"
#include "data/LineReader.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The first lines of a data file as the reader would take them with some settings, for the
// import dialog. Only the start of the file is read, however long it is.
struct ImportPreview
{
    struct Line
    {
        int64_t number = 0; // 1-based line of the file
        LineReader::LineKind kind = LineReader::LineKind::notRead;
        QString text;
        std::vector<double> values; // the row read from a data line
    };
    std::vector<Line> lines;
    QStringList names; // from the header line
    int numColumns = 0;
    bool opened = false; // the file could be read at all
};

ImportPreview previewImport(const QString& path, const ImportSettings& settings,
                            int maxLines = 300);
// The same over a text (its start, as far as it is shown).
ImportPreview previewImportText(std::string_view text, const ImportSettings& settings,
                                int maxLines = 300);
