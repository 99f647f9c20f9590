#include "app/PlotChild.h"

#include "app/DocumentIO.h"
#include "doc/PlotDocument.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "view/GraphView.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>

PlotChild::PlotChild(std::unique_ptr<PlotDocument> doc, const QString& untitledName,
                     QWidget* parent)
    : QMdiSubWindow(parent), doc_(std::move(doc)), untitledName_(untitledName)
{
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new GraphView(doc_.get(), this);
    setWidget(view_);
    updateTitle();
}

PlotChild::~PlotChild()
{
    // The view refers to the document and unregisters from it when it goes.
    delete view_;
    view_ = nullptr;
}

QString PlotChild::title() const
{
    const QString path = doc_->GetPathName();
    return path.isEmpty() ? untitledName_ : QFileInfo(path).fileName();
}

void PlotChild::updateTitle()
{
    const QString caption = title() + QStringLiteral("[*]");
    if (windowTitle() != caption)
        setWindowTitle(caption);
    setWindowModified(doc_->IsModified());
}

bool PlotChild::save()
{
    const QString path = doc_->GetPathName();
    if (path.isEmpty())
        return saveAs();
    if (!DocumentIO::save(*doc_, path))
        return false;
    updateTitle();
    Q_EMIT saved(path);
    return true;
}

bool PlotChild::saveAs()
{
    const QString extension = docString(Str::PlotDocTemplate, Str::FilterExt);
    QString start = doc_->GetPathName();
    if (start.isEmpty())
        start = QDir::current().filePath(untitledName_ + extension);
    const QString filter = docString(Str::PlotDocTemplate, Str::FilterName) + QLatin1Char('|') +
                           QLatin1Char('*') + extension + QStringLiteral("|All Files (*.*)|*.*||");
    const QString path = Prompter::instance().saveFileName(QStringLiteral("Save As"), start, filter,
                                                           extension.mid(1));
    if (path.isEmpty())
        return false;
    if (!DocumentIO::save(*doc_, path))
        return false;
    updateTitle();
    Q_EMIT saved(path);
    return true;
}

bool PlotChild::queryClose()
{
    if (!doc_->IsModified())
        return true;
    switch (Prompter::instance().question(formatString(Str::AskToSave, title()), QString(),
                                          Prompter::Buttons::YesNoCancel,
                                          Prompter::Icon::Exclamation)) {
    case Prompter::Answer::Yes:
        return save();
    case Prompter::Answer::No:
        return true;
    default:
        return false;
    }
}

void PlotChild::closeEvent(QCloseEvent* event)
{
    if (!queryClose()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
