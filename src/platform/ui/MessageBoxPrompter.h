#pragma once

#include "platform/Prompter.h"

#include <QPointer>

class QWidget;

// The Prompter of the running program: application-modal QMessageBox and QFileDialog windows.
// Installed by the application at start-up.
class MessageBoxPrompter : public Prompter
{
public:
    // parent: the window the boxes are centred on (the main frame), not owned; without one the
    // active window is used.
    explicit MessageBoxPrompter(QWidget* parent = nullptr);

    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer question(const QString& text, const QString& caption, Buttons buttons,
                    Icon icon) override;
    Answer messageWithAction(const QString& text, const QString& caption, Icon icon,
                             const QString& action) override;
    QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultExt) override;
    QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultExt) override;

private:
    QWidget* owner() const;
    QString chooseFile(bool save, const QString& caption, const QString& directory,
                       const QString& filter, const QString& defaultExt) const;

    QPointer<QWidget> parent_;
};
