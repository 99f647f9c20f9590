#pragma once

#include "platform/Settings.h"

#include <QDialog>

class Prompter;
class Profile;
class QButtonGroup;
class QLineEdit;

// The Defaults dialog: edits a copy of the default settings. Lengths are shown in the units
// of the record and can be switched between inch and cm while the dialog is open; the record
// handed back by settings() is in inches again. Given a profile, OK writes the record there
// and, when the file cannot be written, says so and keeps the dialog open.
class DefaultsDialog : public QDialog
{
    Q_OBJECT

public:
    // profile: not owned; null when OK only confirms.
    DefaultsDialog(const DefaultSettings& settings, Prompter& prompter, QWidget* parent = nullptr,
                   Profile* profile = nullptr);

    // The confirmed record (lengths in inches); the initial one until OK succeeds.
    const DefaultSettings& settings() const { return result_; }
    int shownUnits() const { return shownUnits_; }

    void accept() override;

private:
    void showFields();
    bool takeFields();
    void switchUnits(int units);

    Prompter& prompter_;
    Profile* profile_;
    DefaultSettings result_;
    DefaultSettings shown_; // the six lengths in shownUnits_
    int shownUnits_;

    QLineEdit* xAxisLength_;
    QLineEdit* yAxisLength_;
    QLineEdit* labelSize_;
    QLineEdit* labelFace_;
    QLineEdit* titleSize_;
    QLineEdit* titleFace_;
    QLineEdit* titleSpacing_;
    QLineEdit* labelSpacing_;
    QLineEdit* symbolSize_;
    QLineEdit* symbolFace_;
    QLineEdit* symbolChar_;
    QLineEdit* originX_;
    QLineEdit* originY_;
    QLineEdit* scale_;
    QButtonGroup* tickDir_;
    QButtonGroup* units_;
};

// The Defaults command: shows the dialog for the given record and, when it is confirmed and
// written to the profile, stores the result in the record. Returns whether the dialog was
// confirmed; *written (if given) says whether the profile was written.
bool runDefaultsCommand(QWidget* parent, DefaultSettings& settings, Profile& profile,
                        Prompter& prompter, bool* written = nullptr);
// The same for the program's own record, profile and prompter.
bool runDefaultsCommand(QWidget* parent);
