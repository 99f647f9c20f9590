#pragma once

#include <QPoint>
#include <QString>
#include <memory>
#include <optional>

class ClientItem;
class PageScrollView;
class VisibleOLE;

// The commands that put embedded objects on a view's page. Failures show "Error createing new
// object!" and leave the document as it was.
namespace OleCommands {

// Insert New Object: the chooser, then a picture file (file chooser) or a new text label
// whose editor opens at once. True when an object was inserted.
bool insertNewObject(PageScrollView& view);
// A picture file (any format Qt reads) as a new object.
bool insertPictureFile(PageScrollView& view, const QString& path);
// Insert Glyphpad Label: a text label at the focus rectangle, its editor shown at once.
bool insertLabel(PageScrollView& view);
// Insert Glyphpad Label needs a focus rectangle (a click is enough).
bool canInsertLabel(const PageScrollView& view);

// Puts a new object holding the item on the page: over the focus rectangle when there is
// one, else at its own size with its top-left at a point (client pixels), else with its
// lower-left corner at the page origin. The selection is cleared and the document marked
// changed. Returns the object (owned by the document).
VisibleOLE* place(PageScrollView& view, std::unique_ptr<ClientItem> item,
                  std::optional<QPoint> at = std::nullopt);

} // namespace OleCommands
