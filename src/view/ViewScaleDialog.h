#pragma once

#include <QDialog>

class PageScrollView;
class QLineEdit;

// Edits a view's scale factor: a number from 0.1 to 10. On OK the view takes the value and
// is laid out again; a value out of range keeps the dialog open with the range message.
class ViewScaleDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr float minScale = 0.1f;
    static constexpr float maxScale = 10.0f;

    explicit ViewScaleDialog(PageScrollView& view, QWidget* parent = nullptr);

    void accept() override;
    QLineEdit* scaleEdit() const { return edit_; }

    // The View Scale command: the dialog over the view, modal.
    static void run(PageScrollView& view);

private:
    PageScrollView& view_;
    QLineEdit* edit_;
};
