#pragma once
// Message boxes, input boxes and the common file dialogs. The logic asks through this interface so
// that tests can script the answers and record what was asked.
#include <QString>
#include <optional>

// Message box styles and answers, as the stores' other programs number them.
namespace MsgStyle {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int Critical = 16;
constexpr int Exclamation = 48;
constexpr int Information = 64;
}  // namespace MsgStyle
namespace MsgResult {
constexpr int OK = 1;
constexpr int Cancel = 2;
}  // namespace MsgResult

// What an open or save dialog is shown with. `filter` is the "Text|pattern|Text|pattern" form,
// `filterIndex` counts its pairs from 1.
struct FileDialogRequest {
    QString fileName;
    QString dialogTitle;
    int flags = 0;
    QString filter;
    int filterIndex = 1;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message; returns MsgResult::OK or MsgResult::Cancel.
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;
    // Modal text entry showing `def`; the text as entered, or "" when cancelled.
    virtual QString InputBox(const QString& prompt, const QString& title, const QString& def) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> ShowOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> ShowSave(const FileDialogRequest& request) = 0;
};
