#pragma once

#include <QDialog>
#include <QString>

class ColumnFile;
class QComboBox;
class QLabel;
class filelist;

// Chooses the file and column of a trace's error bars. Change Error File reads another data
// file (adding it to the document's list); Remove Error Bars confirms with no error file.
class ErrorBarDialog : public QDialog
{
    Q_OBJECT

public:
    // errorFile: the current error file (not owned, may be null); errorColumn 1-based; files:
    // the document's data files, which take any file read here; dataFilePath: the trace's file.
    ErrorBarDialog(ColumnFile* errorFile, int errorColumn, filelist& files,
                   const QString& dataFilePath, QWidget* parent = nullptr);

    // The choice once confirmed: null after Remove Error Bars.
    ColumnFile* errorFile() const { return errorFile_; }
    int errorColumn() const { return errorColumn_; }

    void accept() override;

private:
    void showErrorFile();
    void changeErrorFile();
    void removeErrorBars();

    ColumnFile* errorFile_;
    int errorColumn_;
    filelist& files_;
    QLabel* errorName_;
    QComboBox* columns_;
};
