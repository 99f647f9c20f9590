#pragma once

#include "data/ColumnFile.h"

#include <QString>
#include <exception>

// What the user is told when reading a data file fails, and whether the file is kept.
struct DataFileMessage
{
    int stringId = 0;
    QString argument; // fills the text's placeholder; null when the text has none
    QString text;     // the text as shown
    QString caption;  // the data file's full path; "Error" for memory and resource failures
    // A parse error after some rows: the rows read before it are the file's contents and the
    // command goes on as after a successful read. Otherwise the command drops the file.
    bool keepFile = false;
};

// The message for an exception raised while reading the data file (ColumnFile::ReadFile).
DataFileMessage dataFileMessage(const std::exception& error, const ColumnFile& file);
// The message for a file that could not be opened (ReadFile returned 0).
DataFileMessage cannotOpenMessage(const ColumnFile& file);
// The message for the last read's outcome as recorded by the file (a read during document
// load, where the exception was not passed on). keepFile is true and stringId 0 after a
// successful read.
DataFileMessage dataFileMessage(const ColumnFile& file);

// Shows the message through ShowFileMessage; returns keepFile.
bool showDataFileMessage(const DataFileMessage& message);
// The two in one, for a command's exception handler.
bool reportDataFileError(const std::exception& error, const ColumnFile& file);
