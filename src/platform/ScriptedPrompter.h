#pragma once

#include "platform/Prompter.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

// A Prompter for tests: records every message, question and file chooser in order, answers
// questions from a queue of scripted answers and file choosers from a queue of paths.
class ScriptedPrompter : public Prompter
{
public:
    struct Record
    {
        enum class Kind { Message, Question, OpenFile, SaveFile };
        Kind kind = Kind::Message;
        QString text; // the message or question; for a file chooser its caption
        QString caption;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        // File choosers only
        QString directory;
        QString filter;
        QString defaultExt;
    };

    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer question(const QString& text, const QString& caption, Buttons buttons,
                    Icon icon) override;
    QString openFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultExt) override;
    QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultExt) override;

    // Answers given to the next questions, in order.
    void pushAnswer(Answer answer) { answers_.push_back(answer); }
    // The answer once the queue is empty; unset, the cancelling choice of the buttons.
    void setDefaultAnswer(std::optional<Answer> answer) { defaultAnswer_ = answer; }
    // Paths returned by the next file choosers, in order; an empty path cancels. Once the queue
    // is empty every chooser is cancelled.
    void pushFileName(const QString& path) { fileNames_.push_back(path); }

    const std::vector<Record>& records() const { return records_; }
    // The texts of the messages and questions shown, in order.
    QStringList texts() const;
    size_t pendingAnswers() const { return answers_.size(); }
    size_t pendingFileNames() const { return fileNames_.size(); }
    void clear();

private:
    QString nextFileName();

    std::vector<Record> records_;
    std::deque<Answer> answers_;
    std::deque<QString> fileNames_;
    std::optional<Answer> defaultAnswer_;
};
