#pragma once
// The program options dialog. It reads the main window's program options when it loads and writes
// them back only on Save; it never touches the settings store (the main window saves the options
// at shut-down). Controls stand at their designed places in twips, converted through the logical
// DPI of the dialog's screen.
#include "platform/qt/TwipsLayout.h"

#include <QDialog>
#include <QString>
#include <functional>

class Dialogs;
class Printer;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct ProgramOptions;

class frmSierraOptions : public QDialog {
    Q_OBJECT
public:
    // Runs one command (a file choice) under the owner's guard, which reports what escapes it.
    using CommandGuard = std::function<void(const std::function<void()>&)>;

    // Edits `options` (the main window's own); lists the printers of `printer` (none when null)
    // and asks for files through `dialogs`. Loads at once (Form_Load); shown modally by the
    // caller, over `parent`. Without a `guard` a command runs as it is.
    frmSierraOptions(ProgramOptions& options, Dialogs& dialogs, Printer* printer, QWidget* parent = nullptr,
                     CommandGuard guard = {});

    const TwipsLayout& twips() const { return twips_; }

    // The inner width the layout works on, in twips.
    double ScaleWidth() const;

    QCheckBox *ckbConvertUpc, *ckbShowDetail, *ckbSingleSheet, *ckbInstantPrint;
    QGroupBox* Frame1;
    QRadioButton *ckbLaser3, *ckbLaser4, *ckbSierraSport, *ckbDymo;
    QLineEdit *txtLaser3Format, *txtL3Lr, *txtL3Ud, *txtLaser4Format, *txtL4Lr, *txtL4Ud, *txtDymoFormat, *txtPort,
        *txtSettings, *txtSierraFont, *txtSierraFormat;
    QComboBox* cboDymoName;
    QPushButton *cmdSave, *cmdCancel;
    // The twelve captions at the left of their controls, top to bottom.
    QLabel* Label1[12];

public Q_SLOTS:
    void Form_Load();
    void Form_Resize();
    void cmdSave_Click();
    void cmdCancel_Click();
    void txtDymoFormat_DblClick();
    void txtLaser3Format_DblClick();
    void txtLaser4Format_DblClick();
    void txtSierraFont_DblClick();
    void txtSierraFormat_DblClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // The open-file dialog for one box; a chosen file replaces its text, a cancel leaves it.
    void chooseFile(QLineEdit* box, const char* title, const char* filter);

    TwipsLayout twips_{*this};
    CommandGuard guard_;
    ProgramOptions& options_;
    Dialogs& dialogs_;
    Printer* printer_;
};
