#pragma once

class PlotDocument;

// Data Zoom and Data Unzoom over the document's traces, and the installation of the
// document's Data Zoom, Data Unzoom and Data Readout handlers.

// Zooms every trace whose plot box holds the focus rectangle of the document's active view
// wholly to that rectangle, then refreshes the document. Traces partly outside are untouched.
void DataZoom(PlotDocument& doc);
// Puts back the axes of every zoomed trace, last trace first, so that axes shared by several
// traces end as they were before the first of them zoomed; then refreshes the document.
void DataUnzoom(PlotDocument& doc);
// Installs the handlers, which is what enables the three commands.
void installZoomCommands();
