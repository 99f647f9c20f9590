#pragma once

#include "platform/Installed.h"

#include <QString>

// Everything that asks or tells the user goes through a Prompter, so that commands can be run
// by tests with scripted answers. The application installs the widget implementation at
// start-up; until then (and in tests that install none) a default answers every question with
// its cancelling choice and writes the text to stderr, so nothing ever blocks.
class Prompter
{
public:
    enum class Icon { None, Exclamation, Information, Stop, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompter();

    // A message with an OK button. An empty caption shows the program's title.
    virtual void message(const QString& text, const QString& caption, Icon icon) = 0;
    virtual Answer question(const QString& text, const QString& caption, Buttons buttons,
                            Icon icon) = 0;
    // A message with an OK button and a second button that offers something more (action, such
    // as "&Import..."); Yes when that button was pressed, Ok otherwise. A prompter that shows
    // no such button shows the plain message.
    virtual Answer messageWithAction(const QString& text, const QString& caption, Icon icon,
                                     const QString& action)
    {
        (void)action;
        message(text, caption, icon);
        return Answer::Ok;
    }

    // File choosers; the result is the chosen full path, empty on cancel. directory is the
    // folder to start in, or a full path whose file is offered at first. filter is either Qt's
    // form ("Data Files (*.dat);;All Files (*)") or the pipe-separated form of the string table
    // ("Data Files (*.dat)|*.dat|All Files (*.*)|*.*||"). defaultExt ("dat", without the dot) is
    // appended to a typed name that has no extension.
    virtual QString openFileName(const QString& caption, const QString& directory,
                                 const QString& filter, const QString& defaultExt) = 0;
    virtual QString saveFileName(const QString& caption, const QString& directory,
                                 const QString& filter, const QString& defaultExt) = 0;

    // The font and colour choosers of the formatting commands join here as they are added.

    // The answer that stands for "do nothing" with these buttons: Ok for a lone OK button,
    // No for Yes/No, Cancel otherwise.
    static Answer cancelAnswer(Buttons buttons);
    // Qt's filter form of a pipe-separated filter ("Data Files (*.dat)|*.dat|All Files
    // (*.*)|*.*||" becomes "Data Files (*.dat);;All Files (*)"); a filter without "|" is
    // returned as it is. "*.*" matches every file, also those without an extension.
    static QString qtFilter(const QString& filter);

    // The current prompter: the installed one, else the non-blocking default. Not owned.
    static Prompter& instance();
    // Installs a prompter (null restores the default); returns the one installed before.
    static Prompter* setInstance(Prompter* prompter);
};

// Installs a prompter for the life of a scope and then puts the previous one back.
using PrompterScope = Installed<Prompter>::Scope;
