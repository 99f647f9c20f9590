#include "ole/PictureFormats.h"

#include "ole/ClientItem.h"
#include "ole/OleCommands.h"
#include "platform/CompoundFile.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "platform/WaitCursor.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace {

// In the order they are preferred: SVG keeps its lines sharp at any size.
struct Format
{
    const char* mime;
    const char* name;
};
constexpr Format formats[] = {{"image/svg+xml", "svg"}, {"image/png", "png"},
                              {"image/jpeg", "jpeg"},   {"image/gif", "gif"},
                              {"image/bmp", "bmp"},     {"image/tiff", "tiff"}};

bool isPictureSuffix(const QString& suffix)
{
    const QByteArray s = suffix.toLower().toLatin1();
    return !s.isEmpty() && (s == "svg" || QImageReader::supportedImageFormats().contains(s));
}

std::unique_ptr<ClientItem> fileItem(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).size() > CompoundFileReader::maxSize || !file.open(QIODevice::ReadOnly))
        return nullptr;
    auto item = ClientItem::fromPicture(file.readAll());
    return item->isPicture() ? std::move(item) : nullptr;
}

} // namespace

void PictureFormats::addFormats(PageScrollView&, const ObjectSequence&, QMimeData&) {}

QStringList PictureFormats::pictureFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (!path.isEmpty() && isPictureSuffix(QFileInfo(path).suffix()) &&
            QFileInfo(path).isFile())
            files.append(path);
    }
    return files;
}

bool PictureFormats::canPaste(const QMimeData* data) const
{
    if (!data)
        return false;
    for (const Format& f : formats) {
        if (data->hasFormat(QLatin1String(f.mime)))
            return true;
    }
    return !pictureFiles(data).isEmpty();
}

bool PictureFormats::paste(PageScrollView& view, const QMimeData& data, std::optional<QPoint> at)
{
    WaitCursor wait;
    bool pasted = false;
    try {
        std::unique_ptr<ClientItem> item;
        for (const Format& f : formats) {
            if (!data.hasFormat(QLatin1String(f.mime)))
                continue;
            item = ClientItem::fromPicture(data.data(QLatin1String(f.mime)), QLatin1String(f.name));
            if (item->isPicture())
                break;
            item.reset();
        }
        if (item) {
            pasted = OleCommands::place(view, std::move(item), at) != nullptr;
        } else {
            for (const QString& path : pictureFiles(&data)) {
                if (std::unique_ptr<ClientItem> fromFile = fileItem(path))
                    pasted = OleCommands::place(view, std::move(fromFile), at) || pasted;
            }
        }
    } catch (const std::bad_alloc&) {
        pasted = false;
    }
    if (!pasted)
        Prompter::instance().message(loadString(Str::PasteFailed), QString(),
                                     Prompter::Icon::Exclamation);
    return pasted;
}
