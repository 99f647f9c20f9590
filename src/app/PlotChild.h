#pragma once

#include <QMdiSubWindow>
#include <memory>

class PlotDocument;
class GraphView;

// A plot window of the main frame: one plot document and the graph view that shows it. The
// window owns the document; closing a modified document asks whether to save it first.
class PlotChild : public QMdiSubWindow
{
    Q_OBJECT

public:
    // untitledName: the title while the document has no file ("VanePlot1").
    PlotChild(std::unique_ptr<PlotDocument> doc, const QString& untitledName,
              QWidget* parent = nullptr);
    ~PlotChild() override;

    PlotDocument& document() const { return *doc_; }
    GraphView* view() const { return view_; }
    // The file name of the document, or the untitled name.
    QString title() const;
    // Caption and modified mark from the document's state.
    void updateTitle();

    // Save: to the document's file, or through Save As when it has none. False when nothing
    // was written (cancelled or failed; the failure has been reported).
    bool save();
    bool saveAs();
    // Asks "Save changes to ...?" for a modified document. False when the window must stay:
    // the user cancelled, or the save failed.
    bool queryClose();

Q_SIGNALS:
    // The document was written to path.
    void saved(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<PlotDocument> doc_;
    GraphView* view_; // child widget; deleted before the document
    QString untitledName_;
};
