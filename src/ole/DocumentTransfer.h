#pragma once

#include "view/ClipboardFormats.h"

#include <QString>

// A whole plot document on the clipboard and in drags, beside the view's own formats: what
// another Plotvane (or anything that hands over a plot file's bytes) can paste as an editable
// plot. Copying writes the selection through its server item, lower-left corner at (1, 1) inch;
// pasting puts the document's objects at the focus rectangle or the drop point, their data
// files found as when a document is opened.
class DocumentTransfer : public ClipboardFormats
{
public:
    // The bytes of a .pvn file.
    static inline const QString mimeType = QStringLiteral("application/x-plotvane-document");

    void addFormats(PageScrollView& view, const ObjectSequence& selection,
                    QMimeData& data) override;
    bool canPaste(const QMimeData* data) const override;
    // Data that cannot be read shows "Error pasteing from clipboard!" and leaves the document
    // as it was.
    bool paste(PageScrollView& view, const QMimeData& data, std::optional<QPoint> at) override;
};
