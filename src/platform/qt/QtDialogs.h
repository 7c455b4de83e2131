#pragma once
// Message boxes, input boxes and file dialogs on Qt Widgets.
#include "platform/Dialogs.h"

class QWidget;

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& def) override;
    std::optional<QString> ShowOpen(const FileDialogRequest& request) override;
    std::optional<QString> ShowSave(const FileDialogRequest& request) override;

    // "All Files (*.*)|*.*|Dictionary Files (*.dct)|*.dct" -> the Qt filter list.
    static QStringList qtFilters(const QString& filter);

private:
    std::optional<QString> showFile(const FileDialogRequest& request, bool save);
    QWidget* owner_;
};
