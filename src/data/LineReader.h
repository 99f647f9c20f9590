#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reads the lines of a data file's text and the numbers on them. The text is either held whole
// in memory or passes through a window that is refilled from a source as the lines are taken;
// both give the same lines.
//
// Lines end in LF, in CR LF or in a lone CR (classic Mac files); a UTF-8 byte order mark at
// the start of the text is skipped. Empty lines, and lines whose first non-blank character is
// '#', are skipped everywhere. Tokens are separated by
// runs of commas, blanks and tabs; a token is a number when the C library's strtod (C locale) takes
// all of it. A NUL ends the text of its line.
class LineReader
{
public:
    static constexpr int maxColumns = 20;
    // A line of this many characters or more (line break not counted) cannot be read.
    static constexpr int lineLimit = 255;
    // Text lines allowed before the first data line, and between two data lines.
    static constexpr int maxTextLines = 3;
    // A window must hold a longest readable line and its CR LF: the reader refills it before
    // each line when fewer bytes than this are left, so that every line it judges lies whole in
    // the window, or the text ends inside it.
    static constexpr size_t minWindow = size_t(lineLimit) + 2;

    // What the import settings make of the lines; the plain rules are those described above.
    // Shared by every reader of one file, read-only.
    struct Rules
    {
        std::array<bool, 256> comment{}; // a line whose first non-blank character is one
        // Every field has a column of its own: a value, or a missing value (NaN) where the
        // field is empty or not a number and missingValues is set; otherwise such fields are
        // skipped as the plain rules skip words.
        bool fields = false;
        char delimiter = 0;                // 0: fields are separated by runs of separators
        std::array<bool, 256> separator{}; // for runs
        bool missingValues = false;
        std::vector<std::string> placeholders; // always read as missing values
        bool stripQuotes = false;
        bool decimalComma = false;
        bool breakLines = false;
        uint32_t dateColumns = 0; // bit c: column c (0-based) holds dates or times
        std::string dateFormat;
        bool widest = false;
        int64_t firstDataLine = 0; // lines before it are skipped; 0: none
        int64_t headerLine = 0;

        Rules();
        // The plain rules.
        static const Rules& plain();
    };

    // What a line of the text was taken for, for a preview of the reading.
    enum class LineKind {
        empty,
        comment,
        skipped, // before the first data line given
        header,  // the line of the column names
        curveBreak,
        text,    // no number: skipped
        data,    // a row
        stop,    // the text line that ended the data
        tooLong, // cannot be read: ends the data
        notRead, // after the end of the data
    };
    class Observer
    {
    public:
        // number: the 1-based line of the text.
        virtual void line(int64_t number, LineKind kind, std::string_view text) = 0;

    protected:
        ~Observer() = default;
    };

    // Where the text goes on past the window.
    class Source
    {
    public:
        // Copies up to max further bytes of the text to dst and returns how many; 0 only at the
        // end of the text. May throw.
        virtual size_t Read(char* dst, size_t max) = 0;
        // Reads until max bytes are in dst or the text ends; returns how many, and in *ended
        // whether the text ended.
        size_t ReadUpTo(char* dst, size_t max, bool* ended);

    protected:
        ~Source() = default;
    };

    // Reads up to maxTextLines + 1 non-empty lines looking for the first one that holds
    // numbers; their count (at most maxColumns) is the number of columns and they are the
    // first row. The text is not copied and must outlive the reader; text[size] must be a NUL
    // (numbers are scanned up to the character that ends them, without bounds checks).
    LineReader(const char* text, size_t size, const Rules* rules = nullptr,
               Observer* observer = nullptr);
    // The same through a window of capacity bytes (at least minWindow) whose first size bytes
    // are the start of the text; window[capacity] must be writable. When fewer than minWindow
    // bytes are left and the source has more, the unread bytes move to the front and the rest
    // of the window is filled from the source; a NUL always follows the bytes held. A null
    // source means the window holds the whole text. Errors of the source pass through.
    LineReader(char* window, size_t capacity, size_t size, Source* source,
               const Rules* rules = nullptr);
    // Where a reader picks up a text that goes on from a line start after a data row: the
    // number of columns, and the text lines already read since that row.
    struct Continuation
    {
        int numColumns = 0;
        int textLines = 0;
        bool breakPending = false; // a curve break was read since that row
    };
    // Reads on from such a line start (a later part of a file, or rows appended to it): no
    // header is looked for and no row is at hand until NextDataLine finds one.
    LineReader(char* window, size_t capacity, size_t size, Source* source, Continuation from,
               const Rules* rules = nullptr);

    // A row is at hand (the first after construction, then after each NextDataLine).
    bool ok() const { return ok_; }
    int numColumns() const { return numColumns_; }
    // The current row: numColumns() values, missing trailing ones 0.0 (NaN with missing values
    // kept). A row of NaN stands for a break in the curve.
    const double* numbers() const { return numbers_; }
    bool isBreakRow() const { return breakRow_; }
    // A curve break was read after the last row, for a row that may follow.
    bool breakPending() const { return pendingBreak_; }
    // The values the current line held, beyond numColumns() too when the widest row counts.
    int rowWidth() const { return rowWidth_; }
    // Makes rows this wide (the widest row of the text); missing values fill the current row.
    void widen(int columns);
    // The line of the column names, when the rules name one and it was read.
    const std::string& headerText() const { return headerText_; }
    // The fields of a line as the rules split them, quotes stripped.
    static std::vector<std::string> fieldsOf(std::string_view line, const Rules& rules);
    // Lines taken from the text so far, empty ones included; a line that could not be read is
    // not counted.
    int64_t linesConsumed() const { return linesConsumed_; }

    // Moves to the next line holding numbers, skipping up to maxTextLines lines without any.
    // Returns false (and clears ok) when the data ends: a further text line, a line that
    // cannot be read, or the end of the text.
    bool NextDataLine();
    // Text lines read since the last data row (or since the start of a continued text).
    int textLinesSinceRow() const { return textRun_; }
    // Text lines read between the row before the current one (or the start) and the current.
    int textLinesBeforeRow() const { return runBeforeRow_; }
    // The data ended only because the text did: no fourth text line and no unreadable line.
    bool endedWithText() const { return !ok_ && !broken_ && textRun_ <= maxTextLines; }

    // The reader's rule for one token: true, with its value, when strtod in the C locale
    // takes all of it. Plain decimal numbers take a fast exact path.
    static bool tokenToNumber(std::string_view token, double* value);

private:
    void readFirstRow();
    bool ReadLine();
    void refill();
    // Up to max numbers of the current line; returns how many, 0 for a line without data.
    int parseLine(double* out, int max);
    int parseFields(double* out, int max) const;
    void fillMissing(int from);
    void report(LineKind kind) const;
    void report(LineKind kind, const char* begin, const char* end) const;

    const char* cursor_;
    const char* end_;
    char* window_ = nullptr;
    size_t capacity_ = 0;
    Source* source_ = nullptr; // null once the text has ended
    const char* line_ = nullptr;
    const char* lineEnd_ = nullptr;
    double numbers_[maxColumns] = {};
    int numColumns_ = 0;
    bool ok_ = false;
    bool broken_ = false; // an unreadable line stops all further reading
    bool atTextStart_ = true;
    int64_t linesConsumed_ = 0;
    int textRun_ = 0;
    int runBeforeRow_ = 0;
    const Rules* rules_;
    Observer* observer_ = nullptr;
    bool inHeader_ = false;
    bool pendingBreak_ = false;
    bool breakRow_ = false;
    bool heldLine_ = false; // the current line is a row still to come after its break row
    int rowWidth_ = 0;
    std::string headerText_;
};
