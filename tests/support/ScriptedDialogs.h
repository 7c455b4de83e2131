#pragma once
// Dialogs that answer from a script and record every question, for tests.
#include "platform/Dialogs.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

struct RecordedMessage {
    QString prompt;
    int style = 0;
    QString title;
};

class ScriptedDialogs : public Dialogs {
public:
    // Answers, used in order; when a queue is empty: OK, "" and cancel.
    std::deque<int> msgAnswers;
    std::deque<QString> inputAnswers;
    std::deque<std::optional<QString>> fileAnswers;

    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> inputs;  // prompt, title; the default is kept in inputDefaults
    QStringList inputDefaults;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    // Every question in the order asked, with its answer, one line each (never cleared here).
    QStringList transcript;

    int MsgBox(const QString& prompt, int style, const QString& title) override {
        messages.push_back({prompt, style, title});
        const int a = msgAnswers.empty() ? int(MsgResult::OK) : msgAnswers.front();
        if (!msgAnswers.empty()) msgAnswers.pop_front();
        transcript << QStringLiteral("MsgBox \"%1\" style %2 -> %3: %4").arg(title).arg(style).arg(a).arg(prompt);
        return a;
    }
    QString InputBox(const QString& prompt, const QString& title, const QString& def) override {
        inputs.push_back({prompt, 0, title});
        inputDefaults << def;
        QString a;
        if (!inputAnswers.empty()) a = inputAnswers.front(), inputAnswers.pop_front();
        transcript << QStringLiteral("InputBox \"%1\" default \"%2\" -> \"%3\": %4").arg(title, def, a, prompt);
        return a;
    }
    std::optional<QString> ShowOpen(const FileDialogRequest& r) override {
        openRequests.push_back(r);
        return nextFile(QStringLiteral("ShowOpen"), r);
    }
    std::optional<QString> ShowSave(const FileDialogRequest& r) override {
        saveRequests.push_back(r);
        return nextFile(QStringLiteral("ShowSave"), r);
    }

private:
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
