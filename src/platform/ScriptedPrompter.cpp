#include "platform/ScriptedPrompter.h"

void ScriptedPrompter::message(const QString& text, const QString& caption, Icon icon)
{
    Record r;
    r.kind = Record::Kind::Message;
    r.text = text;
    r.caption = caption;
    r.icon = icon;
    records_.push_back(std::move(r));
}

Prompter::Answer ScriptedPrompter::question(const QString& text, const QString& caption,
                                            Buttons buttons, Icon icon)
{
    Record r;
    r.kind = Record::Kind::Question;
    r.text = text;
    r.caption = caption;
    r.icon = icon;
    r.buttons = buttons;
    records_.push_back(std::move(r));
    if (!answers_.empty()) {
        const Answer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return defaultAnswer_.value_or(cancelAnswer(buttons));
}

QString ScriptedPrompter::openFileName(const QString& caption, const QString& directory,
                                       const QString& filter, const QString& defaultExt)
{
    Record r;
    r.kind = Record::Kind::OpenFile;
    r.text = caption;
    r.directory = directory;
    r.filter = filter;
    r.defaultExt = defaultExt;
    records_.push_back(std::move(r));
    return nextFileName();
}

QString ScriptedPrompter::saveFileName(const QString& caption, const QString& directory,
                                       const QString& filter, const QString& defaultExt)
{
    Record r;
    r.kind = Record::Kind::SaveFile;
    r.text = caption;
    r.directory = directory;
    r.filter = filter;
    r.defaultExt = defaultExt;
    records_.push_back(std::move(r));
    return nextFileName();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList result;
    for (const Record& r : records_) {
        if (r.kind == Record::Kind::Message || r.kind == Record::Kind::Question)
            result.append(r.text);
    }
    return result;
}

void ScriptedPrompter::clear()
{
    records_.clear();
    answers_.clear();
    fileNames_.clear();
    defaultAnswer_.reset();
}

QString ScriptedPrompter::nextFileName()
{
    if (fileNames_.empty())
        return {};
    QString path = fileNames_.front();
    fileNames_.pop_front();
    return path;
}
