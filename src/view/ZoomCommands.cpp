#include "view/ZoomCommands.h"

#include "doc/DocumentCommands.h"
#include "doc/PlotDocument.h"
#include "page/PageView.h"
#include "traces/Trace.h"
#include "view/DataCursorDialog.h"
#include "view/PageScrollView.h"

#include <vector>

void DataZoom(PlotDocument& doc)
{
    const PageView* view = doc.GetActiveView();
    if (!view)
        return;
    const Rect focus = view->focusRect();
    const std::unique_ptr<visiblelist> traces = doc.GetTraces();
    // All corners are read first: a trace that zooms a shared axis would otherwise change the
    // mapping the next trace reads the band through.
    struct Zoom
    {
        Trace* trace;
        QPointF topLeft, bottomRight;
    };
    std::vector<Zoom> zooms;
    for (visibleobject* obj : *traces) {
        auto* trace = static_cast<Trace*>(obj);
        if (const auto corners = trace->ZoomCorners(focus))
            zooms.push_back({trace, corners->first, corners->second});
    }
    for (const Zoom& z : zooms)
        z.trace->ZoomToData(z.topLeft, z.bottomRight);
    doc.Refresh();
    // The axes' limits are part of the document.
    if (!zooms.empty())
        doc.MarkChanged();
}

void DataUnzoom(PlotDocument& doc)
{
    const std::unique_ptr<visiblelist> traces = doc.GetTraces();
    for (int i = traces->count() - 1; i >= 0; --i) {
        auto* trace = static_cast<Trace*>(traces->at(i));
        if (trace->CanUnzoom())
            trace->Unzoom();
    }
    doc.Refresh();
    doc.MarkChanged();
}

void installZoomCommands()
{
    setCommandHandler(Cmd::DataZoom, DataZoom);
    setCommandHandler(Cmd::DataUnzoom, DataUnzoom);
    setCommandHandler(Cmd::DataReadout, [](PlotDocument& doc) {
        if (auto* view = dynamic_cast<PageScrollView*>(doc.GetActiveView()))
            DataCursorDialog::open(*view);
    });
}
