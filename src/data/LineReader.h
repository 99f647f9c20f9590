#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

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
    LineReader(const char* text, size_t size);
    // The same through a window of capacity bytes (at least minWindow) whose first size bytes
    // are the start of the text; window[capacity] must be writable. When fewer than minWindow
    // bytes are left and the source has more, the unread bytes move to the front and the rest
    // of the window is filled from the source; a NUL always follows the bytes held. A null
    // source means the window holds the whole text. Errors of the source pass through.
    LineReader(char* window, size_t capacity, size_t size, Source* source);
    // Where a reader picks up a text that goes on from a line start after a data row: the
    // number of columns, and the text lines already read since that row.
    struct Continuation
    {
        int numColumns = 0;
        int textLines = 0;
    };
    // Reads on from such a line start (a later part of a file, or rows appended to it): no
    // header is looked for and no row is at hand until NextDataLine finds one.
    LineReader(char* window, size_t capacity, size_t size, Source* source, Continuation from);

    // A row is at hand (the first after construction, then after each NextDataLine).
    bool ok() const { return ok_; }
    int numColumns() const { return numColumns_; }
    // The current row: numColumns() values, missing trailing ones 0.0.
    const double* numbers() const { return numbers_; }
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
    // Up to max numbers of the current line; returns how many.
    int parseLine(double* out, int max) const;

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
};
