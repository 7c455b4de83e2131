#pragma once
// The program options dialog. It reads the main window's program options when it loads and writes
// them back only on Save; it never touches the settings store (the main window saves the options
// at shut-down). Controls stand at their designed places in twips, converted through the main
// window's logical DPI.
#include <QDialog>
#include <QString>

class Dialogs;
class Printer;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class frmTagwell;
struct ProgramOptions;

class frmSierraOptions : public QDialog {
    Q_OBJECT
public:
    // Edits `options` (the window's own); lists the printers of `printer` (none when null) and
    // asks for files through `dialogs`. Loads at once (Form_Load); shown modally by the caller.
    frmSierraOptions(frmTagwell& owner, ProgramOptions& options, Dialogs& dialogs, Printer* printer);

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

    frmTagwell& owner_;
    ProgramOptions& options_;
    Dialogs& dialogs_;
    Printer* printer_;
};

// Program Options (and the Dymo and Sierra Sport Printer Setup commands, which run it): shows the
// dialog modally over `window`, then, however it was closed, hands the serial control the port
// and line settings, applies the print target, and lays the window out again when the
// show-all-columns switch changed.
void ShowProgramOptions(frmTagwell& window);
