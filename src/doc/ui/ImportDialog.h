#pragma once

#include "data/ImportSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

// File > Import Data...: the settings a data file is read with, and a preview table of its
// first lines as they would be read, redone at every change.
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    ImportDialog(const QString& path, const ImportSettings& settings, QWidget* parent = nullptr);

    ImportSettings settings() const;
    QTableWidget* previewTable() const { return preview_; }
    // The lines the preview shows at most.
    static constexpr int previewLines = 300;

private:
    void updatePreview();

    QString path_;
    QLineEdit* comments_;
    QSpinBox* firstLine_;
    QSpinBox* headerLine_;
    QComboBox* delimiter_;
    QCheckBox* missingValues_;
    QLineEdit* placeholders_;
    QCheckBox* stripQuotes_;
    QCheckBox* decimalComma_;
    QCheckBox* breakLines_;
    QLineEdit* dateColumns_;
    QLineEdit* dateFormat_;
    QCheckBox* widestRow_;
    QLabel* status_;
    QTableWidget* preview_;
};
