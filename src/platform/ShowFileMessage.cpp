#include "platform/ShowFileMessage.h"

#include "platform/Exceptions.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"

#include <new>

namespace {

void show(int stringId, const QString& caption, const QString& arg, Prompter::Icon icon)
{
    QString text = loadString(stringId);
    // A null argument means "none given"; an empty one still fills the placeholder.
    if (!arg.isNull())
        text = fillPlaceholder(text, arg);
    Prompter::instance().message(text, caption, icon);
}

} // namespace

void ShowFileMessage(int stringId, const QString& caption, const QString& arg)
{
    show(stringId, caption, arg, Prompter::Icon::Exclamation);
}

void ShowFileInformation(int stringId, const QString& caption, const QString& arg)
{
    show(stringId, caption, arg, Prompter::Icon::Information);
}

void ReportCommandException()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        ShowFileMessage(Str::MemoryError, loadString(Str::ErrorCaption));
    } catch (const MemoryException&) {
        ShowFileMessage(Str::MemoryError, loadString(Str::ErrorCaption));
    } catch (const ResourceException&) {
        ShowFileMessage(Str::ResourceError, loadString(Str::ErrorCaption));
    } catch (const FileException& e) {
        ShowFileMessage(Str::FileError, e.fileName());
    } catch (const PlotvaneException&) {
        ShowFileMessage(Str::CommandFailure);
    }
}
