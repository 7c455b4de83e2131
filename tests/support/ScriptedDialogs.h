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

    int MsgBox(const QString& prompt, int style, const QString& title) override {
        messages.push_back({prompt, style, title});
        if (msgAnswers.empty()) return MsgResult::OK;
        const int a = msgAnswers.front();
        msgAnswers.pop_front();
        return a;
    }
    QString InputBox(const QString& prompt, const QString& title, const QString& def) override {
        inputs.push_back({prompt, 0, title});
        inputDefaults << def;
        if (inputAnswers.empty()) return {};
        QString a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }
    std::optional<QString> ShowOpen(const FileDialogRequest& r) override {
        openRequests.push_back(r);
        return nextFile();
    }
    std::optional<QString> ShowSave(const FileDialogRequest& r) override {
        saveRequests.push_back(r);
        return nextFile();
    }

private:
    std::optional<QString> nextFile() {
        if (fileAnswers.empty()) return std::nullopt;
        // Built from the value rather than copied as an optional: GCC 12 warns, wrongly, that a
        // copied optional<QString> may be used uninitialized.
        std::optional<QString> a;
        if (fileAnswers.front().has_value()) a.emplace(*fileAnswers.front());
        fileAnswers.pop_front();
        return a;
    }
};
