#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

class DocumentBase;

// Undo and redo of a document, kept as whole records: each step is the document's record as it
// was before a change (what saving writes), so no command needs undo code of its own. Changes
// are grouped into user actions (UndoAction below); a change made outside any action becomes a
// step of its own when settle() runs (the program calls it when it goes idle).
//
// The record of the last settled state (the baseline) is kept; when an action that changed the
// document ends, the baseline becomes a step and the new record the baseline. An action that
// leaves the record as it was leaves no step, nor does one that failed.
class UndoHistory
{
public:
    using TakeRecord = std::function<QByteArray()>;
    // Puts the document back to a record; may raise, and then leaves the document as it was
    // before the call or empty.
    using RestoreRecord = std::function<void(const QByteArray&)>;

    // The oldest steps go when there are more than this many, or when all steps together hold
    // more bytes than maxBytes.
    static constexpr int maxSteps = 100;
    static constexpr qsizetype maxBytes = qsizetype(64) << 20;

    UndoHistory(TakeRecord take, RestoreRecord restore);

    // Forgets every step: the document as it is now is the baseline, and the saved state when
    // it is not modified.
    void reset(bool modified = false);

    // Actions nest; the outermost names the step. A mergeable action that follows one of the
    // same name without anything in between joins its step (repeated arrow-key moves).
    void begin(const QString& name, bool mergeable = false);
    void end();
    // The running action failed: what it changed makes no step.
    void fail();
    // The document changed (MarkChanged); ignored while a record is being restored.
    void changed();
    // Turns a change made outside any action into a step; nothing while an action runs.
    void settle();

    bool canUndo() const { return !undo_.isEmpty() && !restoring_; }
    bool canRedo() const { return !redo_.isEmpty() && !restoring_; }
    // The name of the step Undo (Redo) would take back; empty when there is none or it has none.
    QString undoName() const { return undo_.isEmpty() ? QString() : undo_.last().name; }
    QString redoName() const { return redo_.isEmpty() ? QString() : redo_.last().name; }
    int undoCount() const { return int(undo_.size()); }
    int redoCount() const { return int(redo_.size()); }
    // The bytes held by all steps, not counting the baseline.
    qsizetype bytes() const;

    // False when there was nothing to undo (redo). A restore that raises passes the exception
    // on after putting the document back where it was; the history is then unchanged.
    bool undo();
    bool redo();

    // The document as it is now has been saved.
    void markSaved();
    // True when the document is at the state last saved (or loaded unmodified).
    bool atSavedState() const { return current_ == saved_; }
    bool isRestoring() const { return restoring_; }

    // The step name of a command: its menu text without "&" and "...", or a fuller name where the
    // menu text alone says too little ("Format Axes" for the Axes line of the Format menu).
    static QString commandStepName(int commandId);

private:
    struct Step
    {
        QString name;
        QByteArray record;
        int state = 0; // the state the record is of
    };
    void commit();
    void trim();
    bool move(QList<Step>& from, QList<Step>& to);

    TakeRecord take_;
    RestoreRecord restore_;
    QList<Step> undo_;
    QList<Step> redo_;
    QByteArray baseline_;
    int current_ = 0; // the state of the baseline
    int saved_ = 0;   // -1: the saved state is not among those kept
    int nextState_ = 1;
    int depth_ = 0;
    QString name_;
    bool mergeable_ = false;
    bool failed_ = false;
    bool pending_ = false;
    bool restoring_ = false;
    bool restoreChanged_ = false; // the document was changed while a record was restored
    // The last step came from a mergeable action, with nothing since.
    bool lastMergeable_ = false;
};

// One user action on a document: the changes made while it lives become one step of the
// document's history under its name (see UndoHistory). A document without a history is left
// alone. An exception that leaves the scope counts as a failure.
class UndoAction
{
public:
    enum class Merge { No, WithPrevious };
    UndoAction(DocumentBase* doc, const QString& name, Merge merge = Merge::No);
    ~UndoAction();
    UndoAction(const UndoAction&) = delete;
    UndoAction& operator=(const UndoAction&) = delete;
    // The action failed, though no exception left it (one was reported inside).
    void fail();

private:
    UndoHistory* history_;
    int exceptions_;
};
