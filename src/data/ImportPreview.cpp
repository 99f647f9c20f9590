#include "data/ImportPreview.h"

#include <QFile>
#include <algorithm>
#include <string>

namespace {

class Recorder final : public LineReader::Observer
{
public:
    explicit Recorder(std::vector<ImportPreview::Line>& lines) : lines_(lines) {}
    void line(int64_t number, LineReader::LineKind kind, std::string_view text) override
    {
        ImportPreview::Line line;
        line.number = number;
        line.kind = kind;
        line.text = QString::fromUtf8(text.data(), qsizetype(text.size()));
        lines_.push_back(std::move(line));
    }

private:
    std::vector<ImportPreview::Line>& lines_;
};

// The start of every line of the text, up to maxLines of them.
std::vector<size_t> lineStarts(std::string_view text, int maxLines)
{
    std::vector<size_t> starts;
    size_t at = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (at < text.size() && int(starts.size()) < maxLines) {
        starts.push_back(at);
        const size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            break;
        at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return starts;
}

} // namespace

ImportPreview previewImportText(std::string_view whole, const ImportSettings& settings,
                                int maxLines)
{
    ImportPreview preview;
    preview.opened = true;
    // The lines shown, and no more: the reader never looks past them.
    const std::vector<size_t> starts = lineStarts(whole, maxLines + 1);
    const size_t shown = int(starts.size()) > maxLines ? starts.back() : whole.size();
    const std::string text(whole.substr(0, shown));
    const std::shared_ptr<const LineReader::Rules> rules = settings.rules(text);

    Recorder recorder(preview.lines);
    LineReader reader(text.c_str(), text.size(), rules.get(), &recorder);
    auto keepRow = [&] {
        // The row belongs to the last data line reported; a break row has a line of its own.
        for (auto it = preview.lines.rbegin(); it != preview.lines.rend(); ++it) {
            if (it->kind == LineReader::LineKind::data) {
                it->values.assign(reader.numbers(), reader.numbers() + reader.numColumns());
                return;
            }
        }
    };
    if (reader.ok()) {
        preview.numColumns = reader.numColumns();
        int widest = reader.rowWidth();
        keepRow();
        while (reader.NextDataLine()) {
            widest = std::max(widest, reader.rowWidth());
            if (!reader.isBreakRow())
                keepRow();
        }
        if (rules->widest)
            preview.numColumns = std::min(widest, int(LineReader::maxColumns));
        for (ImportPreview::Line& line : preview.lines) {
            if (line.kind == LineReader::LineKind::data)
                line.values.resize(size_t(preview.numColumns),
                                   rules->missingValues ? std::numeric_limits<double>::quiet_NaN()
                                                        : 0.0);
        }
    }
    if (rules->headerLine > 0)
        preview.names = columnNamesOf(reader.headerText(), *rules);
    // The lines after the end of the data, which the reader never took.
    const int64_t taken = preview.lines.empty() ? 0 : preview.lines.back().number;
    const std::vector<size_t> all = lineStarts(text, maxLines);
    for (size_t i = size_t(taken); i < all.size(); ++i) {
        const size_t end = text.find_first_of("\r\n", all[i]);
        ImportPreview::Line line;
        line.number = int64_t(i) + 1;
        line.kind = LineReader::LineKind::notRead;
        line.text =
            QString::fromUtf8(text.data() + all[i],
                              qsizetype((end == std::string::npos ? text.size() : end) - all[i]));
        preview.lines.push_back(std::move(line));
    }
    return preview;
}

ImportPreview previewImport(const QString& path, const ImportSettings& settings, int maxLines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return {};
    // Enough for maxLines of the longest readable line.
    const QByteArray start = file.read(qint64(maxLines + 1) * (LineReader::lineLimit + 2));
    return previewImportText(std::string_view(start.constData(), size_t(start.size())), settings,
                             maxLines);
}
