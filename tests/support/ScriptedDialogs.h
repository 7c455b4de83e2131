#pragma once
// Dialogs that answer from a script and keep one transcript: every question in the order asked,
// with its answer, one line each (a message's CR LF shown as \r\n).
#include "platform/Dialogs.h"
#include "shell/common/Outcome.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <utility>

class ScriptedDialogs : public Dialogs {
public:
    // Answers, used in order; when a queue is empty: OK, "" and cancel.
    std::deque<int> msgAnswers;
    std::deque<QString> inputAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    QStringList transcript;

    // The lines noted since the last call.
    QStringList take() { return std::exchange(transcript, {}); }
    // A command's outcome shown as the window shows it, its status noted after its messages; true
    // unless it failed.
    bool show(const Outcome& o) {
        ShowOutcome(o, *this);
        const char* status[] = {"done", "notice", "failed"};
        transcript << QStringLiteral("outcome: %1").arg(status[static_cast<int>(o.status())]);
        return !o.failed();
    }

    int MsgBox(const QString& prompt, int style, const QString& title) override {
        const int a = msgAnswers.empty() ? int(MsgResult::OK) : msgAnswers.front();
        if (!msgAnswers.empty()) msgAnswers.pop_front();
        transcript << QStringLiteral("MsgBox \"%1\" style %2 -> %3: %4").arg(title).arg(style).arg(a).arg(shown(prompt));
        return a;
    }
    QString InputBox(const QString& prompt, const QString& title, const QString& def) override {
        QString a;
        if (!inputAnswers.empty()) a = inputAnswers.front(), inputAnswers.pop_front();
        transcript << QStringLiteral("InputBox \"%1\" default \"%2\" -> \"%3\": %4").arg(title, def, a, shown(prompt));
        return a;
    }
    std::optional<QString> ShowOpen(const FileDialogRequest& r) override { return nextFile(QStringLiteral("ShowOpen"), r); }
    std::optional<QString> ShowSave(const FileDialogRequest& r) override { return nextFile(QStringLiteral("ShowSave"), r); }

private:
    static QString shown(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n")); }
    std::optional<QString> nextFile(const QString& kind, const FileDialogRequest& r) {
        // Built from the value rather than copied as an optional: GCC 12 warns, wrongly, that a
        // copied optional<QString> may be used uninitialized.
        std::optional<QString> a;
        if (!fileAnswers.empty() && fileAnswers.front().has_value()) a.emplace(*fileAnswers.front());
        if (!fileAnswers.empty()) fileAnswers.pop_front();
        transcript << QStringLiteral("%1 \"%2\" filter \"%3\" index %4 flags %5 file \"%6\" -> %7")
                          .arg(kind, r.dialogTitle, r.filter).arg(r.filterIndex).arg(r.flags)
                          .arg(r.fileName, a ? QStringLiteral("\"%1\"").arg(*a) : QStringLiteral("cancel"));
        return a;
    }
};
