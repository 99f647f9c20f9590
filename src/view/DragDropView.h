#pragma once

#include "view/PageScrollView.h"

#include <QPoint>
#include <QSize>

// A graph view that takes drops and can start a drag of its selection. It accepts drops from
// creation on; what a drop does is up to the view's interaction.
class DragDropView : public PageScrollView
{
    Q_OBJECT

public:
    explicit DragDropView(PlotDocument* doc, QWidget* parent = nullptr);
    ~DragDropView() override;

    // The drag in progress, pixels: size of the dragged outline, offset of the grab point from
    // its top-left corner, last drag position, and the drop effect last shown (0 = no outline
    // on screen).
    QSize dragSize;
    QSize dragOffset;
    QPoint dragPoint;
    int dragEffect = 0;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
