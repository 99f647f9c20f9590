#pragma once

#include "ole/OleEditors.h"

#include <QDialog>

class QRadioButton;

// The chooser of Insert New Object: a picture from a file, or a new text label.
class InsertObjectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit InsertObjectDialog(QWidget* parent = nullptr);

    OleEditors::InsertChoice choice() const;

private:
    QRadioButton* fromFile_;
    QRadioButton* label_;
};
