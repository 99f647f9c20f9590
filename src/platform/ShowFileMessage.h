#pragma once

#include <QString>

// Shows a text of the string table through the current Prompter with the exclamation icon and
// an OK button. Where an argument is given, the text's one placeholder (%1, or the first %s / %d
// / %ld) is filled with it. An empty caption shows the program's title.
void ShowFileMessage(int stringId, const QString& caption = {}, const QString& arg = {});
// The same with the information icon.
void ShowFileInformation(int stringId, const QString& caption = {}, const QString& arg = {});

// Tells the user how a command ended when it raised: "Memory error!" for memory, "Resource
// allocation error" for resources, "File error" with the file's name for a file exception, and
// "Command failed." for any other program exception. Call it from a catch block; exceptions of
// other kinds are raised again.
void ReportCommandException();
