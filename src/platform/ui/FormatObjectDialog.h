#pragma once

#include <QDialog>
#include <QString>

class QListWidget;
class QListWidgetItem;
class Persistent;
class StringObMap;

// Chooses one object by name from a sorted list: the Format Object dialog, and with
// another title and label the Select Axis and Select Data Set dialogs. OK or a double click
// takes the selected line; with no line selected nothing is chosen.
class FormatObjectDialog : public QDialog
{
    Q_OBJECT

public:
    // objects: name -> page object (not owned; must outlive the dialog).
    explicit FormatObjectDialog(const StringObMap& objects, QWidget* parent = nullptr);
    FormatObjectDialog(const StringObMap& objects, const QString& title, const QString& label,
                       bool skipEmptyNames, QWidget* parent = nullptr);

    // The object of the selected line once the dialog was accepted, else null.
    Persistent* chosenObject() const { return chosen_; }
    QListWidget* list() const { return list_; }

    void accept() override;

private:
    const StringObMap& objects_;
    QListWidget* list_ = nullptr;
    Persistent* chosen_ = nullptr;
};
