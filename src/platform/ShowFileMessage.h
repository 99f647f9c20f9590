#pragma once

#include <QString>

// Shows a text of the string table through the current Prompter with the exclamation icon and
// an OK button. Where an argument is given, the text's one placeholder (%1, or the first %s / %d
// / %ld) is filled with it. An empty caption shows the program's title.
void ShowFileMessage(int stringId, const QString& caption = {}, const QString& arg = {});
// The same with the information icon.
void ShowFileInformation(int stringId, const QString& caption = {}, const QString& arg = {});
