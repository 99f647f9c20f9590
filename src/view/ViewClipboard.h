#pragma once

#include <QPoint>
#include <QString>
#include <Qt>
#include <memory>

class PageScrollView;
class QMimeData;

// The Edit commands of a graph view on its selection (Delete, Copy, Cut, Paste) and the drops
// it takes from other programs. The clipboard holds the selected objects in the program's own
// format, stored relative to the lower-left corner of the focus rectangle, with pictures of
// them for other programs.
namespace ViewClipboard {

// The program's own format: the archive record of the selected objects.
inline const QString objectsMimeType = QStringLiteral("application/x-plotvane-objects");
// Beside it: the size of the copied focus rectangle in pixels, "width height".
inline const QString sizeMimeType = QStringLiteral("application/x-plotvane-object-size");

// Delete: several selected objects are deleted after the user agrees (or one of them, chosen,
// when not); objects others depend on go through the document's deletion protocol; data files
// no trace uses any more are dropped.
void deleteSelection(PageScrollView& view);

// The clipboard data of the selection: the view's own formats, then those of every registered
// clipboard extension; null when nothing is selected. Raises on failure; the objects are where
// they were whatever happens.
std::unique_ptr<QMimeData> selectionData(PageScrollView& view);
// Copy: puts selectionData on the clipboard; a failure is shown. True when copied.
bool copy(PageScrollView& view);
// Cut: copy, then delete the selection; nothing is deleted when copying failed.
void cut(PageScrollView& view);

// The data a drag of the selection carries: what Copy puts on the clipboard. A failure is shown
// as Copy shows it; null then or when nothing is selected.
std::unique_ptr<QMimeData> dragData(PageScrollView& view);
// The originals of a selection moved to another view or program: deleted as Delete deletes
// them, without asking whether all of them should go (the move said so). Readouts of the view
// close first, as they may follow a trace that goes.
void deleteMoved(PageScrollView& view);
// What a drop of objects in the program's own format does: Ctrl copies, Shift moves, and
// otherwise they are copied; an action the source does not offer falls back to one it does.
Qt::DropAction dropAction(Qt::DropActions possible, Qt::KeyboardModifiers modifiers);

// True when the data holds objects in the program's own format, or something a registered
// clipboard extension pastes.
bool canPaste(const QMimeData* data);
// Paste of the data: the objects are put on the page at the lower-left corner of the focus
// rectangle (the page origin without one), under new names where their names are taken.
// Without objects in the program's format the first extension that can paste the data does.
// Data that nothing can paste or that cannot be read shows "Error pasteing from clipboard!"
// and leaves the document as it was. True when pasted.
bool paste(PageScrollView& view, const QMimeData& data);
// Paste from the clipboard.
bool paste(PageScrollView& view);

// Drops from other programs: objects in the program's own format are pasted with their focus
// rectangle's top-left corner at the drop point (client pixels); otherwise the first extension
// that can paste the data pastes it at the drop point; otherwise data files (a list of local
// file names) are opened as Open Data File opens them.
bool canDrop(const QMimeData* data);
bool drop(PageScrollView& view, const QMimeData& data, QPoint point);

} // namespace ViewClipboard
