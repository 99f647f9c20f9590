#pragma once

#include <QList>
#include <QPoint>
#include <optional>

class ObjectSequence;
class PageScrollView;
class QMimeData;

// Formats that libraries above the view add to what Copy and drags put on the clipboard, and
// that they take back on Paste and drops: pictures of other programs become embedded objects,
// a whole plot document pastes as an editable plot. The application registers them at start-up
// (tests register their own); the view's own object format always comes first.
class ClipboardFormats
{
public:
    virtual ~ClipboardFormats() = default;

    // Adds this extension's formats for the selected objects (the whole page when the selection
    // is empty). May raise; the caller then reports the copy as failed.
    virtual void addFormats(PageScrollView& view, const ObjectSequence& selection,
                            QMimeData& data) = 0;
    // True when the data holds something this extension can paste.
    virtual bool canPaste(const QMimeData* data) const = 0;
    // Pastes onto the view's page: at a point in client pixels (a drop), or at the focus
    // rectangle (the page origin without one) when no point is given. Failures are shown to the
    // user; true when something was pasted.
    virtual bool paste(PageScrollView& view, const QMimeData& data, std::optional<QPoint> at) = 0;

    // The registered extensions in the order they are asked (not owned).
    static const QList<ClipboardFormats*>& registered() { return list(); }
    static void add(ClipboardFormats* formats) { list().append(formats); }
    static void remove(ClipboardFormats* formats) { list().removeAll(formats); }

    // Registers an extension for the life of a scope.
    class Registration
    {
    public:
        explicit Registration(ClipboardFormats* formats) : formats_(formats) { add(formats); }
        ~Registration() { remove(formats_); }
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;

    private:
        ClipboardFormats* formats_;
    };

private:
    static QList<ClipboardFormats*>& list()
    {
        static QList<ClipboardFormats*> formats;
        return formats;
    }
};
