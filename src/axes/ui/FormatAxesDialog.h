#pragma once

#include <QDialog>
#include <memory>

class Axis;
class DocumentServices;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Format Axes dialog. It edits the live axis while it is open (automatic range, the title
// and the Ticks and Labels dialog act at once) and keeps a private copy to put back on Cancel.
// Controls carry the object names edit108, edit111, edit1104, edit1105, static301, static302,
// edit309, edit311, check107 (Auto), check117 (Log), button142 (Title...), button123 (Ticks and
// Labels ...), label110 and label160.
class FormatAxesDialog : public QDialog
{
    Q_OBJECT

public:
    // axis and doc: not owned; doc may be null (no data range, no name check).
    FormatAxesDialog(Axis& axis, DocumentServices* doc, QWidget* parent = nullptr);
    ~FormatAxesDialog() override;

    void accept() override;
    void reject() override;

    // The longest name the dialog takes.
    static constexpr int maxNameLength = 19;

private:
    void applyAutomaticRange();
    void autoClicked();
    void limitsEdited();
    void editTitle();
    void editTicks();
    void showLimits();

    Axis& axis_;
    DocumentServices* doc_;
    std::unique_ptr<Axis> saved_; // the axis as it was, for Cancel
    bool hasData_ = false;
    double dataMin_;
    double dataMax_;

    QLineEdit* name_;
    QLineEdit* length_;
    QLineEdit* start_;
    QLineEdit* end_;
    QLabel* dataMinText_;
    QLabel* dataMaxText_;
    QLineEdit* originX_;
    QLineEdit* originY_;
    QCheckBox* auto_;
    QCheckBox* log_;
    QPushButton* ok_;
};
