#pragma once

#include "platform/StringObMap.h"

#include <QDialog>
#include <memory>

class Axis;
class ColumnFile;
class DocumentServices;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Trace;

// What a trace plots: its columns, axes, origin, sort order and name. Edits the trace in place
// where a button opens another dialog (axes, line type); OK applies the rest, Cancel gives the
// trace back what it had when the dialog opened. Axes made with New... join the document's page
// when their Format Axes dialog is confirmed.
class FileSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // trace: must have a data file; doc: the trace's document (not owned, may be null: then no
    // axes can be chosen or made and no name is refused).
    FileSettingsDialog(Trace& trace, DocumentServices* doc, QWidget* parent = nullptr);
    ~FileSettingsDialog() override;

    void accept() override;
    void reject() override;

private:
    enum class Direction { x, y };

    void fillColumn(QComboBox* list, int column);
    void showRange(Direction d);
    void showOrigin(Direction d);
    Axis* selectedAxis(Direction d) const;
    void newAxis(Direction d);
    void editAxis(Direction d);
    void chooseAxes();
    void editLineType();

    Trace& trace_;
    DocumentServices* doc_;
    std::unique_ptr<Trace> saved_; // the trace as it was, for Cancel
    ColumnFile* file_;
    StringObMap axes_; // name -> axis of the document

    QComboBox* xColumn_;
    QComboBox* yColumn_;
    QLabel* xMin_;
    QLabel* xMax_;
    QLabel* yMin_;
    QLabel* yMax_;
    QLineEdit* description_;
    QLineEdit* originX_;
    QLineEdit* originY_;
    QComboBox* xAxis_;
    QComboBox* yAxis_;
    QCheckBox* sort_;
    QPushButton* ok_;
};
