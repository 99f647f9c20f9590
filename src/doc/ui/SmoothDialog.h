#pragma once

#include <QDialog>

class QLineEdit;

// The Smooth dialog: the moving average's window size, between 3 and the largest window the
// data set allows.
class SmoothDialog : public QDialog
{
    Q_OBJECT

public:
    SmoothDialog(unsigned windowSize, unsigned maxWindow, QWidget* parent = nullptr);

    // The confirmed size; the initial one until OK succeeds.
    unsigned windowSize() const { return windowSize_; }

    void accept() override;

private:
    unsigned windowSize_;
    unsigned maxWindow_;
    QLineEdit* edit_;
};
