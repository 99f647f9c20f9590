#pragma once

#include "view/ClipboardFormats.h"

#include <QStringList>

// Pictures of other programs (PNG, SVG, JPEG, any picture Qt reads, and local picture files)
// pasted or dropped onto a page become embedded objects: on Paste over the focus rectangle,
// on a drop at the drop point with their own size. Data files are left to the view.
class PictureFormats : public ClipboardFormats
{
public:
    void addFormats(PageScrollView& view, const ObjectSequence& selection,
                    QMimeData& data) override;
    bool canPaste(const QMimeData* data) const override;
    bool paste(PageScrollView& view, const QMimeData& data, std::optional<QPoint> at) override;

    // The picture files among the data's URLs, known by their suffix.
    static QStringList pictureFiles(const QMimeData* data);
};
