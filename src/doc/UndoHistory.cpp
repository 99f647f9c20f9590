#include "doc/UndoHistory.h"

#include "doc/DocumentBase.h"
#include "doc/DocumentCommands.h"
#include "platform/Strings.h"

#include <exception>
#include <utility>

UndoHistory::UndoHistory(TakeRecord take, RestoreRecord restore)
    : take_(std::move(take)), restore_(std::move(restore))
{}

void UndoHistory::reset(bool modified)
{
    undo_.clear();
    redo_.clear();
    baseline_ = take_();
    current_ = nextState_++;
    saved_ = modified ? -1 : current_;
    pending_ = false;
    lastMergeable_ = false;
}

void UndoHistory::begin(const QString& name, bool mergeable)
{
    if (depth_++ > 0)
        return;
    // A change made before, outside any action, is a step of its own.
    if (pending_)
        commit();
    name_ = name;
    mergeable_ = mergeable;
    failed_ = false;
}

void UndoHistory::end()
{
    if (depth_ == 0 || --depth_ > 0)
        return;
    if (pending_)
        commit();
    name_.clear();
    mergeable_ = false;
    failed_ = false;
}

void UndoHistory::fail()
{
    if (depth_ > 0)
        failed_ = true;
}

void UndoHistory::changed()
{
    if (restoring_)
        restoreChanged_ = true;
    else
        pending_ = true;
}

void UndoHistory::settle()
{
    if (depth_ == 0 && pending_ && !restoring_)
        commit();
}

void UndoHistory::commit()
{
    pending_ = false;
    const bool failed = std::exchange(failed_, false);
    const bool mergeable = std::exchange(mergeable_, false);
    const QString name = std::exchange(name_, QString());
    QByteArray now;
    try {
        now = take_();
    } catch (...) {
        // No record (no memory for it): the change stands without a step, and no step before
        // it can be trusted either.
        undo_.clear();
        redo_.clear();
        baseline_.clear();
        current_ = nextState_++;
        lastMergeable_ = false;
        return;
    }
    if (baseline_.isNull()) {
        baseline_ = std::move(now);
        return;
    }
    // A cancelled dialog that still reported a change.
    if (now == baseline_)
        return;
    if (failed) {
        lastMergeable_ = false;
        // What a failed action left becomes the state to go back to from the next step.
        baseline_ = std::move(now);
        current_ = nextState_++;
        return;
    }
    redo_.clear();
    const bool joins = mergeable && !undo_.isEmpty() && undo_.last().name == name && lastMergeable_;
    if (!joins)
        undo_.append({name, std::move(baseline_), current_});
    baseline_ = std::move(now);
    current_ = nextState_++;
    lastMergeable_ = mergeable;
    trim();
}

void UndoHistory::trim()
{
    while (!undo_.isEmpty() && (undo_.size() > maxSteps || bytes() > maxBytes))
        undo_.removeFirst();
}

qsizetype UndoHistory::bytes() const
{
    qsizetype total = 0;
    for (const Step& step : undo_)
        total += step.record.size();
    for (const Step& step : redo_)
        total += step.record.size();
    return total;
}

bool UndoHistory::undo()
{
    settle();
    return move(undo_, redo_);
}

bool UndoHistory::redo()
{
    settle();
    return move(redo_, undo_);
}

bool UndoHistory::move(QList<Step>& from, QList<Step>& to)
{
    if (from.isEmpty() || restoring_ || depth_ > 0)
        return false;
    Step step = from.takeLast();
    restoring_ = true;
    restoreChanged_ = false;
    try {
        restore_(step.record);
    } catch (...) {
        // The document goes back to where it was; the history stays as it was.
        try {
            restore_(baseline_);
        } catch (...) {
            // The first failure is the one to report.
        }
        restoring_ = false;
        from.append(std::move(step));
        throw;
    }
    restoring_ = false;
    pending_ = false;
    lastMergeable_ = false;
    to.append({step.name, std::move(baseline_), current_});
    // Taken afresh, with what reading brings up to date. A data file that is no longer there
    // may have taken its traces with it: that is another state.
    try {
        baseline_ = take_();
    } catch (...) {
        baseline_ = std::move(step.record);
    }
    current_ = restoreChanged_ ? nextState_++ : step.state;
    return true;
}

void UndoHistory::markSaved()
{
    settle();
    saved_ = current_;
    // A move after saving is a step of its own, so that Undo comes back to the saved state.
    lastMergeable_ = false;
}

QString UndoHistory::commandStepName(int commandId)
{
    int own = 0;
    switch (commandId) {
    case Cmd::FormatAxes:
        own = Str::StepFormatAxes;
        break;
    case Cmd::FormatObject:
        own = Str::StepFormatObject;
        break;
    case Cmd::FitPolynomial:
        own = Str::StepPolynomialFit;
        break;
    case Cmd::FitPower:
        own = Str::PowerFitTitle;
        break;
    case Cmd::FitExponential:
        own = Str::ExponentialFitTitle;
        break;
    case Cmd::FitGaussian:
        own = Str::GaussianFitTitle;
        break;
    default:
        break;
    }
    if (own)
        return loadString(own);
    QString text = menuText(commandId);
    text.remove(QLatin1Char('&'));
    text.remove(QStringLiteral("..."));
    return text.simplified();
}

UndoAction::UndoAction(DocumentBase* doc, const QString& name, Merge merge)
    : history_(doc ? doc->undoHistory() : nullptr), exceptions_(std::uncaught_exceptions())
{
    // What a restore changes on the way is part of the restore.
    if (history_ && history_->isRestoring())
        history_ = nullptr;
    if (history_)
        history_->begin(name, merge == Merge::WithPrevious);
}

UndoAction::~UndoAction()
{
    if (!history_)
        return;
    if (std::uncaught_exceptions() > exceptions_)
        history_->fail();
    try {
        history_->end();
    } catch (...) {
        // No step can be had without memory for its record; the change itself stands.
    }
}

void UndoAction::fail()
{
    if (history_)
        history_->fail();
}
