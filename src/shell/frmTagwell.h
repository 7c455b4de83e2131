#pragma once
// The main window: command buttons, the entry boxes of one label row, the label grid and the menu
// bar through which every command is reached. Positions are designed in twips and converted through
// the screen's logical DPI.
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/GridCommands.h"
#include "grid/LabelGrid.h"
#include "output/PrintJob.h"
#include "platform/qt/TwipsLayout.h"
#include "shell/common/Common.h"
#include "shell/common/Outcome.h"
#include "shell/common/ProgramOptions.h"
#include "shell/Services.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <type_traits>
#include <memory>

class DataFileImport;
class frmAbout;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class msfGridView;

class frmTagwell : public QMainWindow, public EntryHost, public PositionedWindow, public PrintJobWindow {
    Q_OBJECT
public:
    explicit frmTagwell(TagwellServices services, QWidget* parent = nullptr);
    ~frmTagwell() override;

    // Settings names and the program options (public, as the options dialog edits them).
    QString regApp, regSec;
    ProgramOptions options;
    // The data dictionary and the data-file reader, created at start-up.
    cwDct dctInv;
    std::unique_ptr<cwDatFile> datFile;

    // The start-up sequence; run once before the window is first shown.
    void Form_Load();
    // The shut-down sequence; runs on every unload (Exit, the close box).
    void Form_Unload();
    // The layout rule; runs on every resize and when the detail switch changed.
    void Form_Resize();
    // Program Options (and the Dymo and Sierra Sport Printer Setup commands, which run it): shows
    // the options dialog modally, then, however it was closed, hands the serial control the port
    // and line settings, applies the print target, and lays the window out again when the
    // show-all-columns switch changed.
    void ShowProgramOptions();

    LabelGrid& grid() { return *grid_; }
    GridCommands& commands() { return *commands_; }
    // The print job (it keeps FontsLoaded and PrintCancelled); null when no printer was given.
    PrintJob* printJob() { return printJob_.get(); }
    TagwellServices& services() { return services_; }
    // The About box while it is loaded (Help > About until it is closed), else null.
    frmAbout* aboutBox() const;
    std::int16_t LabelsPerSheet() const { return commands_->LabelsPerSheet; }

    // Twips <-> pixels of this window's screen, and the designed places of its controls.
    const TwipsLayout& twips() const { return twips_; }
    double ScaleWidth() const;
    double ScaleHeight() const;
    double line1X2() const { return line1X2_; }

    // Runs one command with the guard every command has: the Outcome it returns (if it returns
    // one) is shown, message by message; an error that escapes it is shown in an "Alert:" message
    // and the program goes on.
    template <class Command>
    void runCommand(Command command) {
        runGuarded([&command]() -> Outcome {
            if constexpr (std::is_void_v<std::invoke_result_t<Command&>>) {
                command();
                return Outcome::done();
            } else {
                return command();
            }
        });
    }
    // True while "Read in a Data File" or "Read in a Price Change File" runs: commands are then
    // ignored, and Exit (or the close box) stops the import and closes once it has ended.
    bool importing() const { return importing_ != nullptr; }

    // EntryHost
    QString entryText(int col) const override;
    void setEntryText(int col, const QString& text) override;
    QString selRowText() const override;
    void setSelRowText(const QString& text) override;
    void focusSku(bool selectAll) override;
    void showWindow() override;
    void setPrintCaption(const QString& caption) override;

    // PrintJobWindow
    QString Caption() const override { return windowTitle(); }
    void setCaption(const QString& caption) override;
    QString PrintButtonCaption() const override;
    void setPrintButtonCaption(const QString& caption) override { setPrintCaption(caption); }

    // PositionedWindow
    QString Name() const override { return QStringLiteral("frmTagwell"); }
    int WindowState() const override;
    double Top() const override;
    double Left() const override;
    double Height() const override;
    double Width() const override;
    void setTop(double twips) override;
    void setLeft(double twips) override;
    void setHeight(double twips) override;
    void setWidth(double twips) override;

    // Controls, named as designed.
    QLineEdit *txtSelRow, *txtSku, *txtMfn, *txtDesc, *txtLoc, *txtRetail, *txtOm, *txtPk, *txtUpc;
    QPushButton *cmdExit, *cmdClearGrid, *cmdPrintGrid, *cmdInsertRow, *cmdCopyRow, *cmdDeleteRow, *cmdSave;
    msfGridView* msfGrid;
    QFrame* Line1;
    QAction *mnuFileRead0, *mnuFileRead1, *mnuFileSave, *mnuFilePrinterSetup, *mnuFileDymoSetup,
        *mnuFileSierraSetup, *mnuFilePrint, *mnuFileDict, *mnuFileInv, *mnuFileCis, *mnuFileUPC,
        *mnuFileTestDatabase, *mnuFileExit;
    QAction *mnuEditSaveRow, *mnuEditInsertRow, *mnuEditCopyRow, *mnuEditDeleteRow, *mnuEditClearSku,
        *mnuEditClearGrid;
    QAction *mnuOptionsSierraSport, *mnuOptionsSierraTest, *mnuHelpAbout;
    // Under the grid while the last look-up could not reach a database (which one and why); hidden
    // again once a look-up succeeds.
    QLabel* lblLookupProblem = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void wireCommands();
    QLineEdit* entryBox(int col) const;
    // LookupItem on the entry boxes; shows or clears the look-up's failure.
    void lookupEntry();
    void buildLookupProblem();
    void showLookupProblem(const QString& failure);
    // mnuFileRead with index 0 (data file) or 1 (price-change file).
    void importFile(int index);
    void runGuarded(const std::function<Outcome()>& command);

    TagwellServices services_;
    TwipsLayout twips_{*this};
    std::unique_ptr<LabelGrid> grid_;
    std::unique_ptr<GridCommands> commands_;
    Hourglass hourglass_;
    std::unique_ptr<PrintJob> printJob_;
    QWidget* inner_ = nullptr;
    double line1X2_ = 0;
    bool unloaded_ = false;
    // The options as read at start-up: the shut-down writes only what changed since.
    ProgramOptions optionsAsLoaded_;
    DataFileImport* importing_ = nullptr;
    bool closeAfterImport_ = false;
    // A top-level window of its own; the main window only remembers it to reuse and delete it.
    QPointer<frmAbout> about_;
};
