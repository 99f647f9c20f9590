#pragma once

#include <QDialog>

class QLineEdit;
class VisibleOLE;

// Format OLE Object: the position of an embedded object in the default unit (-10000 to 10000),
// its angle in degrees (-360 to 360) and its horizontal and vertical scales in percent
// (1 to 50000). On OK the object takes them and lays itself out again. Controls carry the
// object names edit101 (X), edit102 (Y), edit103 (angle), edit104 and edit105 (scales) and
// static160 (the "Position" caption with its unit).
class FormatOleObjectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FormatOleObjectDialog(VisibleOLE& object, QWidget* parent = nullptr);

    void accept() override;

private:
    VisibleOLE& object_;
    double shownAngle_;
    QLineEdit* x_;
    QLineEdit* y_;
    QLineEdit* angle_;
    QLineEdit* scaleX_;
    QLineEdit* scaleY_;
};
