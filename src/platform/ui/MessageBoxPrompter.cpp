#include "platform/ui/MessageBoxPrompter.h"

#include "platform/Strings.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Stop:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Prompter::Buttons buttons)
{
    switch (buttons) {
    case Prompter::Buttons::Ok:
        return QMessageBox::Ok;
    case Prompter::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompter::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompter::Buttons::YesNoCancel:
        break;
    }
    return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
}

QString captionOrTitle(const QString& caption)
{
    return caption.isEmpty() ? loadString(Str::AppTitle) : caption;
}

} // namespace

MessageBoxPrompter::MessageBoxPrompter(QWidget* parent) : parent_(parent) {}

QWidget* MessageBoxPrompter::owner() const
{
    return parent_ ? parent_.data() : QApplication::activeWindow();
}

void MessageBoxPrompter::message(const QString& text, const QString& caption, Icon icon)
{
    QMessageBox box(boxIcon(icon), captionOrTitle(caption), text, QMessageBox::Ok, owner());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

Prompter::Answer MessageBoxPrompter::messageWithAction(const QString& text, const QString& caption,
                                                       Icon icon, const QString& action)
{
    QMessageBox box(boxIcon(icon), captionOrTitle(caption), text, QMessageBox::Ok, owner());
    box.setWindowModality(Qt::ApplicationModal);
    const QPushButton* more = box.addButton(action, QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == more ? Answer::Yes : Answer::Ok;
}

Prompter::Answer MessageBoxPrompter::question(const QString& text, const QString& caption,
                                              Buttons buttons, Icon icon)
{
    QMessageBox box(boxIcon(icon), captionOrTitle(caption), text, boxButtons(buttons), owner());
    box.setWindowModality(Qt::ApplicationModal);
    // The first button is the default, as in the original message boxes.
    box.setDefaultButton(buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel
                             ? QMessageBox::Yes
                             : QMessageBox::Ok);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        break;
    }
    return cancelAnswer(buttons);
}

QString MessageBoxPrompter::openFileName(const QString& caption, const QString& directory,
                                         const QString& filter, const QString& defaultExt)
{
    return chooseFile(false, caption, directory, filter, defaultExt);
}

QString MessageBoxPrompter::saveFileName(const QString& caption, const QString& directory,
                                         const QString& filter, const QString& defaultExt)
{
    return chooseFile(true, caption, directory, filter, defaultExt);
}

QString MessageBoxPrompter::chooseFile(bool save, const QString& caption, const QString& directory,
                                       const QString& filter, const QString& defaultExt) const
{
    // The dialog starts in the directory part of a path and offers its file name.
    QFileDialog dialog(owner(), caption, directory, qtFilter(filter));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultExt);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}
