#pragma once
// The platform pieces tagwell-cli works through instead of the window's: a settings store whose
// command-line overrides are never saved, message boxes on the console, a screen pointer that
// nobody sees, and a window that is only its captions and entry texts.
#include "grid/GridCommands.h"
#include "output/PrintJob.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/ScreenPointer.h"
#include "platform/SettingsStore.h"
#include "shell/common/RowFields.h"

#include <QHash>
#include <QString>
#include <QTextStream>
#include <optional>

// Answers overridden keys itself and every other key from the store below it. Nothing is ever
// written through: a SaveSetting (the import remembering FILEIMPEXP, say) stays in memory for this
// run, so the window's settings are exactly as they were after any tagwell-cli run.
class OverlaySettingsStore : public SettingsStore {
public:
    explicit OverlaySettingsStore(SettingsStore& base) : base_(base) {}

    // Overrides a key of application "BRONTA", section "TAGWELL" for this run.
    void setOverride(const QString& key, const QString& value);

    QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& def) override;
    void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) override;
    bool NothingStored() override { return base_.NothingStored(); }
    SettingsProblem Problem() override { return base_.Problem(); }

private:
    // Keys compare without regard to case, as in every store of the program.
    static QString mapKey(const QString& app, const QString& section, const QString& key);
    SettingsStore& base_;
    QHash<QString, QString> values_;
};

// Message boxes as lines of text: the count message " N items printed." on standard output,
// every other message on standard error, exactly as its box would show it. A question with OK and
// Cancel is answered Cancel; an input box is cancelled. The open dialog answers with the file the
// command line named (the data file of import and print); every other file dialog is cancelled.
class ConsoleDialogs : public Dialogs {
public:
    ConsoleDialogs(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    // The answer of the next open dialog, and of that one only.
    void setOpenFile(const QString& path) { openFile_ = path; }

    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& def) override;
    std::optional<QString> ShowOpen(const FileDialogRequest& request) override;
    std::optional<QString> ShowSave(const FileDialogRequest& request) override;

    static bool isCountMessage(const QString& prompt);

private:
    QTextStream& out_;
    QTextStream& err_;
    std::optional<QString> openFile_;
};

class NullScreenPointer : public ScreenPointer {
public:
    int MousePointer() const override { return pointer_; }
    void setMousePointer(int pointer) override { pointer_ = pointer; }

private:
    int pointer_ = MousePointerValue::Default;
};

// Lets queued events (printer and serial notifications) run, as the window's pump does.
class ConsoleEventPump : public EventPump {
public:
    void DoEvents() override;
};

// The main window as the grid commands and the print job see it, with nobody looking: the eight
// entry texts, the selected-row text and the two captions.
class ConsoleWindow : public EntryHost, public PrintJobWindow {
public:
    QString entryText(int col) const override { return hasBox(col) ? entries_.*FieldOfColumn(col).text : QString(); }
    void setEntryText(int col, const QString& text) override {
        if (hasBox(col)) entries_.*FieldOfColumn(col).text = text;
    }
    QString selRowText() const override { return selRow_; }
    void setSelRowText(const QString& text) override { selRow_ = text; }
    void focusSku(bool) override {}
    void showWindow() override {}
    void setPrintCaption(const QString& caption) override { printCaption_ = caption; }

    QString Caption() const override { return caption_; }
    void setCaption(const QString& caption) override { caption_ = caption; }
    QString PrintButtonCaption() const override { return printCaption_; }
    void setPrintButtonCaption(const QString& caption) override { printCaption_ = caption; }

private:
    static bool hasBox(int col) { return col >= GridCol::Sku && col <= GridCol::Upc; }
    RowTexts entries_;
    QString selRow_ = QStringLiteral("1");
    QString caption_ = QStringLiteral("Tagwell");
    QString printCaption_;
};
