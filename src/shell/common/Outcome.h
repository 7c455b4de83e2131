#pragma once
// What a command did, told to whoever ran it: the window shows each message as the message box it
// names, the command line prints the texts and takes its exit status from the status. A command
// reports through its result, never by how many boxes were shown.
#include "platform/Dialogs.h"

#include <QString>
#include <utility>
#include <vector>

// The title of every message the program itself raises.
inline const QString kAlert = QStringLiteral("Alert:");

// One message box: its exact text, its MsgStyle buttons and icon, and its title.
struct Message {
    QString text;
    int style = MsgStyle::Information;
    QString title = kAlert;
};

// Never dropped unread: a command's outcome is shown, printed or added to its caller's.
class [[nodiscard]] Outcome {
public:
    // Done: nothing to tell. Notice: done, with something to tell. Failed: not done (or not all).
    enum class Status { Done, Notice, Failed };

    static Outcome done() { return {}; }
    static Outcome notice(const QString& text, int style = MsgStyle::Information, const QString& title = kAlert) {
        return Outcome().addNotice(text, style, title);
    }
    static Outcome failure(const QString& text, int style = MsgStyle::Information, const QString& title = kAlert) {
        return Outcome().addFailure(text, style, title);
    }

    // Adds a message after those already held; a failure makes the whole outcome a failure.
    Outcome& addNotice(const QString& text, int style = MsgStyle::Information, const QString& title = kAlert) {
        messages_.push_back({text, style, title});
        if (status_ == Status::Done) status_ = Status::Notice;
        return *this;
    }
    Outcome& addFailure(const QString& text, int style = MsgStyle::Information, const QString& title = kAlert) {
        messages_.push_back({text, style, title});
        status_ = Status::Failed;
        return *this;
    }
    // A failure with nothing to show (the user was already asked, or cancelled what failed).
    Outcome& markFailed() {
        status_ = Status::Failed;
        return *this;
    }
    // What `later` tells, after what this one tells.
    Outcome& operator+=(const Outcome& later) {
        messages_.insert(messages_.end(), later.messages_.begin(), later.messages_.end());
        if (later.status_ > status_) status_ = later.status_;
        return *this;
    }

    Status status() const { return status_; }
    bool failed() const { return status_ == Status::Failed; }
    const std::vector<Message>& messages() const { return messages_; }
    // The messages held so far, given up; the status stays.
    std::vector<Message> takeMessages() { return std::exchange(messages_, {}); }

private:
    Status status_ = Status::Done;
    std::vector<Message> messages_;
};

// Shows the messages of `outcome` in order, each as its message box.
inline void ShowOutcome(const Outcome& outcome, Dialogs& dialogs) {
    for (const Message& m : outcome.messages()) dialogs.MsgBox(m.text, m.style, m.title);
}

// Shows what `outcome` holds so far and keeps only its status: a command that must ask a question
// after something it has to tell shows that first, in the order the user would see it.
inline void ShowOutcomeSoFar(Outcome& outcome, Dialogs& dialogs) {
    for (const Message& m : outcome.takeMessages()) dialogs.MsgBox(m.text, m.style, m.title);
}
