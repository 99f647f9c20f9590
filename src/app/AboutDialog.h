#pragma once

#include <QDialog>

// The about box: the program's icon and its version line.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};
