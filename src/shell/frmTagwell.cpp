#include "shell/frmTagwell.h"

#include "about/frmAbout.h"
#include "datafiles/DictionaryFile.h"
#include "datafiles/Export.h"
#include "datafiles/Import.h"
#include "lookup/ConnectionCommands.h"
#include "lookup/ItemLookup.h"
#include "options/frmSierraOptions.h"
#include "platform/ConnectionSecrets.h"
#include "platform/Dialogs.h"
#include "platform/RecordSet.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/RowFields.h"
#include "shell/msfGridView.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <utility>

namespace {
constexpr double kTwipsPerInch = 1440.0;
}  // namespace

frmTagwell::frmTagwell(TagwellServices services, QWidget* parent)
    : QMainWindow(parent), services_(services), grid_(std::make_unique<LabelGrid>()), hourglass_(services.screen) {
    setObjectName(QStringLiteral("frmTagwell"));
    setWindowTitle(QStringLiteral("Tagwell"));
    commands_ = std::make_unique<GridCommands>(*grid_, *this, options);
    if (services_.printer) {
        printJob_ = std::make_unique<PrintJob>(*grid_, options, *services_.printer, services_.serial, services_.dialogs,
                                               services_.events, *this, hourglass_);
    }
    buildControls();
    buildMenus();
    wireCommands();
    buildLookupProblem();
    // Designed inner size 9228 x 3408 twips, below the menu bar, wider by what the captions needed.
    const int wider = twips_.fitCaptions(inner_);
    resize(twips_.toPixelsX(9228) + wider, twips_.toPixelsY(3408) + menuBar()->sizeHint().height());
}

frmTagwell::~frmTagwell() {
    // The box may still be open (or closed and waiting to be deleted) when the window object goes.
    delete about_.data();
}

frmAbout* frmTagwell::aboutBox() const { return about_ && about_->isVisible() ? about_.data() : nullptr; }

double frmTagwell::ScaleWidth() const { return twips_.toTwipsX(inner_->width()); }
double frmTagwell::ScaleHeight() const { return twips_.toTwipsY(inner_->height()); }

void frmTagwell::buildControls() {
    inner_ = new QWidget(this);
    inner_->setObjectName(QStringLiteral("inner"));
    setCentralWidget(inner_);
    inner_->installEventFilter(this);

    auto button = [&](QPushButton*& b, const char* name, const char* caption, double left, double top, double width) {
        b = new QPushButton(QString::fromLatin1(caption), inner_);
        b->setObjectName(QString::fromLatin1(name));
        twips_.place(b, left, top, width, 255);
        // A click runs the command and leaves the focus where the clerk was typing (the next scan
        // goes to that box); the keyboard still reaches the buttons in the tab order.
        b->setFocusPolicy(Qt::TabFocus);
    };
    button(cmdExit, "cmdExit", "E&xit", 120, 120, 615);
    button(cmdClearGrid, "cmdClearGrid", "Clear Grid", 1245, 120, 975);
    button(cmdPrintGrid, "cmdPrintGrid", "Print Labels", 2475, 120, 1332);
    button(cmdInsertRow, "cmdInsertRow", "&Insert Row", 4200, 120, 1095);
    button(cmdCopyRow, "cmdCopyRow", "&Copy Row", 5520, 120, 1095);
    button(cmdDeleteRow, "cmdDeleteRow", "&Delete Row", 6840, 120, 1095);
    button(cmdSave, "cmdSave", "&Save Row", 8040, 533, 1095);

    auto label = [&](const char* caption, double left, double top) {
        auto* l = new QLabel(QString::fromLatin1(caption), inner_);
        l->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(caption).remove(u':'));
        // Captions are plain labels 192 twips high; wide enough for their text.
        twips_.place(l, left, top, 480, 192);
        l->adjustSize();
        return l;
    };
    auto box = [&](QLineEdit*& t, const char* name, double left, double top, double width, double height = 285) {
        t = new QLineEdit(inner_);
        t->setObjectName(QString::fromLatin1(name));
        twips_.place(t, left, top, width, height);
    };

    box(txtSelRow, "txtSelRow", 120, 480, 492, 360);
    QFont bold = txtSelRow->font();
    bold.setBold(true);
    txtSelRow->setFont(bold);
    // A display of the row being edited, not a place to type.
    txtSelRow->setReadOnly(true);
    txtSelRow->setFocusPolicy(Qt::NoFocus);

    label("sku:", 720, 564);
    box(txtSku, "txtSku", 1128, 518, 1095);
    label("mfn:", 2400, 564);
    box(txtMfn, "txtMfn", 2952, 518, 1575);
    label("desc:", 4680, 564);
    box(txtDesc, "txtDesc", 5160, 518, 2655);

    label("loc:", 768, 960);
    box(txtLoc, "txtLoc", 1128, 914, 1095);
    label("retail:", 2400, 960);
    box(txtRetail, "txtRetail", 3000, 914, 612);
    label("pk:", 3840, 960);
    box(txtPk, "txtPk", 4200, 914, 492);
    label("om:", 4800, 960);
    box(txtOm, "txtOm", 5160, 914, 492);
    label("upc:", 5880, 960);
    box(txtUpc, "txtUpc", 6360, 914, 1452);

    msfGrid = new msfGridView(*grid_, inner_);
    msfGrid->setObjectName(QStringLiteral("msfGrid"));
    msfGrid->setTwipsPerPixel(kTwipsPerInch / logicalDpiX());
    twips_.place(msfGrid, 120, 1320, 8988, 1938);

    Line1 = new QFrame(inner_);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    twips_.place(Line1, 0, 0, 9228, 30);
    line1X2_ = 9228;

    // The labels lie under the grid when the detail row is hidden.
    msfGrid->raise();

    QWidget* order[] = {txtSku, txtMfn, txtDesc, txtLoc, txtRetail, txtPk, txtOm, txtUpc, cmdSave, cmdExit,
                        cmdClearGrid, cmdPrintGrid, cmdInsertRow, cmdCopyRow, cmdDeleteRow, msfGrid};
    for (size_t i = 0; i + 1 < std::size(order); ++i) QWidget::setTabOrder(order[i], order[i + 1]);

    for (QLineEdit* t : {txtSku, txtMfn, txtDesc}) t->installEventFilter(this);
}

void frmTagwell::buildMenus() {
    auto item = [&](QMenu* menu, QAction*& a, const char* name, const char* caption) {
        a = menu->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    item(file, mnuFileRead0, "mnuFileRead0", "Read in a Data File");
    item(file, mnuFileRead1, "mnuFileRead1", "Read in a Price Change File");
    item(file, mnuFileSave, "mnuFileSave", "Save Data to  a File");
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSep1"));
    item(file, mnuFilePrinterSetup, "mnuFilePrinterSetup", "Laser Printer Setup");
    item(file, mnuFileDymoSetup, "mnuFileDymoSetup", "Dymo Printer Setup");
    item(file, mnuFileSierraSetup, "mnuFileSierraSetup", "Sierra Sport Printer Setup");
    item(file, mnuFilePrint, "mnuFilePrint", "Print Labels");
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSep2"));
    item(file, mnuFileDict, "mnuFileDict", "Dictionary File");
    item(file, mnuFileInv, "mnuFileInv", "Inventory Database");
    item(file, mnuFileCis, "mnuFileCis", "CIS Database (optional)");
    item(file, mnuFileUPC, "mnuFileUPC", "UPC Database");
    item(file, mnuFileTestDatabase, "mnuFileTestDatabase", "Test Database Connections");
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSep3"));
    item(file, mnuFileExit, "mnuFileExit", "E&xit");

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    item(edit, mnuEditSaveRow, "mnuEditSaveRow", "Save Row");
    item(edit, mnuEditInsertRow, "mnuEditInsertRow", "Insert Row");
    item(edit, mnuEditCopyRow, "mnuEditCopyRow", "Copy Row");
    item(edit, mnuEditDeleteRow, "mnuEditDeleteRow", "Delete Row");
    item(edit, mnuEditClearSku, "mnuEditClearSku", "Clear Sku");
    item(edit, mnuEditClearGrid, "mnuEditClearGrid", "Clear Grid");

    QMenu* opts = menuBar()->addMenu(QStringLiteral("Options"));
    opts->setObjectName(QStringLiteral("mnuOptions"));
    item(opts, mnuOptionsSierraSport, "mnuOptionsSierraSport", "Program Options");
    item(opts, mnuOptionsSierraTest, "mnuOptionsSierraTest", "Sierra Sport Test");

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    item(help, mnuHelpAbout, "mnuHelpAbout", "About");
}

void frmTagwell::wireCommands() {
    auto on = [&](QAction* a, auto f) { connect(a, &QAction::triggered, this, [this, f] { runCommand(f); }); };
    // Exit bypasses the command guard: it must reach a running import to stop it.
    connect(mnuFileExit, &QAction::triggered, this, [this] { close(); });
    on(mnuFileRead0, [this] { importFile(DataFileImport::DataFile); });
    on(mnuFileRead1, [this] { importFile(DataFileImport::PriceChangeFile); });
    if (printJob_) {
        on(mnuFilePrint, [this] { return printJob_->PrintLabels(); });
        on(mnuOptionsSierraTest, [this] { return printJob_->SierraSportTest(); });
        if (services_.printerSetup) on(mnuFilePrinterSetup, [this] { return printJob_->LaserPrinterSetup(*services_.printerSetup); });
        // Shown at once: the row commands go on after the print.
        commands_->printInstantRow = [this](int row) { ShowOutcome(printJob_->PrintInstantRow(row), services_.dialogs); };
    }
    on(mnuFileDict, [this] { return DictionaryFileCommand(services_.dialogs, services_.settings, dctInv); });
    on(mnuFileSave, [this] { return SaveDataToFile(services_.dialogs, services_.settings, *grid_); });
    if (services_.recordSets) {
        RecordSetFactory& db = *services_.recordSets;
        on(mnuFileInv, [this, &db] { return EditConnectionString(StoreDatabase::Inventory, services_.dialogs, services_.settings, db); });
        on(mnuFileCis, [this, &db] { return EditConnectionString(StoreDatabase::Cis, services_.dialogs, services_.settings, db); });
        on(mnuFileUPC, [this, &db] { return EditConnectionString(StoreDatabase::Upc, services_.dialogs, services_.settings, db); });
        on(mnuFileTestDatabase, [this, &db] { return TestDatabaseConnections(services_.settings, db); });
        commands_->lookupItem = [this] { lookupEntry(); };
    }
    on(mnuOptionsSierraSport, [this] { ShowProgramOptions(); });
    // The two printer setups are the options dialog too.
    connect(mnuFileDymoSetup, &QAction::triggered, mnuOptionsSierraSport, &QAction::trigger);
    connect(mnuFileSierraSetup, &QAction::triggered, mnuOptionsSierraSport, &QAction::trigger);
    on(mnuHelpAbout, [this] { ShowAbout(about_, services_.dialogs); });
    on(mnuEditSaveRow, [this] { commands_->SaveRow(); });
    on(mnuEditInsertRow, [this] { return commands_->InsertRow(); });
    on(mnuEditCopyRow, [this] { return commands_->CopyRow(); });
    on(mnuEditDeleteRow, [this] { commands_->DeleteRow(); });
    on(mnuEditClearSku, [this] { commands_->ClearSku(); });
    on(mnuEditClearGrid, [this] { commands_->ClearGrid(); });

    // Each button runs the menu command of the same name.
    connect(cmdExit, &QPushButton::clicked, mnuFileExit, &QAction::trigger);
    connect(cmdClearGrid, &QPushButton::clicked, mnuEditClearGrid, &QAction::trigger);
    connect(cmdPrintGrid, &QPushButton::clicked, mnuFilePrint, &QAction::trigger);
    connect(cmdInsertRow, &QPushButton::clicked, mnuEditInsertRow, &QAction::trigger);
    connect(cmdCopyRow, &QPushButton::clicked, mnuEditCopyRow, &QAction::trigger);
    connect(cmdDeleteRow, &QPushButton::clicked, mnuEditDeleteRow, &QAction::trigger);
    connect(cmdSave, &QPushButton::clicked, mnuEditSaveRow, &QAction::trigger);

    connect(grid_.get(), &LabelGrid::RowColChange, this, [this] { runCommand([this] { commands_->RowColChange(); }); });
    connect(grid_.get(), &LabelGrid::SelChange, this, [this] { runCommand([this] { commands_->SelChange(); }); });
}

void frmTagwell::runGuarded(const std::function<Outcome()>& command) {
    // The import lets events run after every record; no other command may change the grid or
    // start printing it in the middle.
    if (importing_) return;
    try {
        ShowOutcome(command(), services_.dialogs);
    } catch (const TagwellError& e) {
        services_.dialogs.MsgBox(e.description(), MsgStyle::Information, kAlert);
    } catch (const std::exception& e) {
        services_.dialogs.MsgBox(QString::fromLocal8Bit(e.what()), MsgStyle::Information, kAlert);
    } catch (...) {
        // The boundary of every command: whatever escaped, the program goes on.
        services_.dialogs.MsgBox(QStringLiteral("Unknown error"), MsgStyle::Information, kAlert);
    }
}

void frmTagwell::lookupEntry() {
    EntryTexts e;
    for (const RowField& f : kRowFields) e.*f.text = entryText(f.column);
    const QString failure = LookupItem(e, options.SierraConvertUpc, services_.settings, *services_.recordSets);
    for (const RowField& f : kRowFields) setEntryText(f.column, e.*f.text);
    // A blank box asks no database and so says nothing about them.
    if (!IsBlank(e.sku)) showLookupProblem(failure);
}

void frmTagwell::buildLookupProblem() {
    // A bar under the grid, shown only while the last look-up failed: the clerk sees it without
    // looking away from the grid, the scan loop is not interrupted (a message box would take the
    // scanner's next keys), and the window's designed layout is unchanged the rest of the time. The
    // bar takes its height from the font, so it fits at any scale; a long text is cut at the
    // window's edge rather than widening the window, and reads whole in the tooltip.
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("LookupBar"));
    bar->setSizeGripEnabled(false);
    lblLookupProblem = new QLabel(bar);
    lblLookupProblem->setObjectName(QStringLiteral("lblLookupProblem"));
    lblLookupProblem->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblLookupProblem->setStyleSheet(QStringLiteral("QLabel { background: #b00020; color: white; font-weight: bold; padding: 2px 6px; }"));
    bar->addWidget(lblLookupProblem, 1);
    setStatusBar(bar);
    bar->hide();
}

void frmTagwell::showLookupProblem(const QString& failure) {
    // Shown like a message box's text: on one line, no password in sight.
    lblLookupProblem->setText(failure.isEmpty() ? QString()
                                                : QStringLiteral("Look-up failed: ") +
                                                      MaskSecrets(failure).replace(u'\n', u' ').replace(u'\r', u' '));
    lblLookupProblem->setToolTip(lblLookupProblem->text());
    statusBar()->setVisible(!failure.isEmpty());
}

void frmTagwell::importFile(int index) {
    if (!datFile) return;
    DataFileImport import(services_.dialogs, services_.settings, *grid_, dctInv, *datFile, services_.recordSets,
                          hourglass_, services_.events, LabelsPerSheet(), [this] { commands_->LoadRowIntoEntry(); });
    // However the import ends, other commands may run again; a close asked for meanwhile happens
    // only when it ended normally.
    struct Running {
        frmTagwell& window;
        ~Running() {
            window.importing_ = nullptr;
            window.closeAfterImport_ = false;
        }
    } running{*this};
    importing_ = &import;
    const Outcome outcome = import.mnuFileRead(index);
    importing_ = nullptr;
    // Told before the window goes.
    ShowOutcome(outcome, services_.dialogs);
    if (std::exchange(closeAfterImport_, false)) close();
}

void frmTagwell::Form_Load() {
    regApp = kRegApp;
    regSec = kRegSec;
    // A settings file that cannot be read (whole) is told before anything is read from it: the
    // window then runs on defaults for what is missing, and the store's keys must not seem lost.
    if (const SettingsProblem problem = services_.settings.Problem(); problem.kind != SettingsProblem::None) {
        services_.dialogs.MsgBox(problem.text + (problem.kind == SettingsProblem::Unreadable
            ? QStringLiteral("\r\nTagwell runs on its default settings and leaves the file as it is.")
            : QStringLiteral("\r\nThe other lines are read. The next save keeps the file as it is now beside it, its name "
                             "ending in \".damaged\", and leaves those lines out.")), MsgStyle::Information, kAlert);
    }
    options.load(services_.settings);
    optionsAsLoaded_ = options;

    // The port and line settings are only handed to the serial control here; a value it refuses is
    // left for the options dialog to mend, start-up goes on.
    ConfigureSierraPort(services_.serial, options);
    if (printJob_) printJob_->setFontsLoaded(false);
    commands_->ApplyPrintTarget();
    commands_->ResetGrid();
    txtSelRow->setText(QStringLiteral("1"));
    commands_->applyInitialColumns();
    RestoreFormPosition(services_.settings, regApp, regSec, *this);
    ShowOutcome(LoadDictionaryAtStartup(services_.dialogs, services_.settings, dctInv), services_.dialogs);
    datFile = std::make_unique<cwDatFile>();
}

void frmTagwell::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    try {
        SaveFormPosition(services_.settings, regApp, regSec, *this);
        // Another window or program may have saved since this one started: what this window did
        // not change is not written back over it.
        options.saveChanges(services_.settings, optionsAsLoaded_);
    } catch (const TagwellError& e) {
        services_.dialogs.MsgBox(QStringLiteral("The program options could not be saved.\r\n") + e.description(),
                                 MsgStyle::Information, kAlert);
    }
}

void frmTagwell::closeEvent(QCloseEvent* event) {
    if (importing_) {
        // Stop the import at its next record; the window closes when it has ended.
        importing_->requestStop();
        closeAfterImport_ = true;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmTagwell::ShowProgramOptions() {
    const std::int16_t showDetail = options.SierraShowDetail;
    {
        // Created afresh each time; it keeps nothing once closed. Its file choices run under the
        // same guard as the window's commands.
        frmSierraOptions dialog(options, services_.dialogs, services_.printer, this,
                                [this](const std::function<void()>& command) { runCommand(command); });
        dialog.exec();
    }
    // Save, Cancel or the close box alike: the serial control, the print target and the layout
    // follow the options as they now are.
    const QString refused = ConfigureSierraPort(services_.serial, options);
    if (!refused.isEmpty())
        services_.dialogs.MsgBox(
            QStringLiteral("The Sierra Sport port settings were not accepted; the previous ones stay in force.\r\n") +
                refused,
            MsgStyle::Information, QStringLiteral("Alert:"));
    commands_->ApplyPrintTarget();
    if (options.SierraShowDetail != showDetail) Form_Resize();
}

void frmTagwell::Form_Resize() {
    if (isMinimized()) return;
    line1X2_ = ScaleWidth();
    Line1->setGeometry(0, 0, std::max(twips_.toPixelsX(line1X2_), 0), Line1->height());

    const double gridWidth = TwipsLayout::width(msfGrid);
    double w = gridWidth - 350;
    double top = 0;
    QLineEdit* details[] = {txtLoc, txtRetail, txtOm, txtPk, txtUpc};
    if (options.SierraShowDetail != 0) {
        for (int c : {0, 1, 2, 4, 5, 6, 7, 8}) w -= grid_->ColWidth(c);
        top = 2 * TwipsLayout::top(txtLoc) - TwipsLayout::top(txtSku);
        for (QLineEdit* t : details) t->setVisible(true);
    } else {
        for (int c : {0, 1, 2}) w -= grid_->ColWidth(c);
        top = TwipsLayout::top(txtLoc) - 10;
        for (QLineEdit* t : details) t->setVisible(false);
    }
    double height = ScaleHeight() - top - 150;
    double width = ScaleWidth() - 2 * TwipsLayout::left(msfGrid);
    // A window made too small for the grid leaves its size as it was.
    if (height < 0) height = TwipsLayout::height(msfGrid);
    if (width < 0) width = gridWidth;
    twips_.place(msfGrid, TwipsLayout::left(msfGrid), top, width, height);
    if (w > 2000) grid_->setColWidth(3, static_cast<int>(RoundHalfEven(w)));
}

bool frmTagwell::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inner_ && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    const bool sku = watched == txtSku;
    if ((sku || watched == txtMfn || watched == txtDesc) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // ENTER is swallowed: no character reaches the box and nothing beeps.
            runCommand([this, sku] {
                if (!sku) commands_->MfnOrDescEnter();
                return sku ? commands_->SkuEnter() : Outcome::done();
            });
            return true;
        }
    }
    if (sku && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            runCommand([this, key] { commands_->SkuArrowReleased(key->key() == Qt::Key_Up ? 38 : 40); });
            return true;
        }
    }
    if (sku && event->type() == QEvent::FocusOut) runCommand([this] { commands_->SkuFocusLost(); });
    return QMainWindow::eventFilter(watched, event);
}

QLineEdit* frmTagwell::entryBox(int col) const {
    if (col < GridCol::Sku || col > GridCol::Upc) return nullptr;
    return inner_->findChild<QLineEdit*>(QLatin1StringView(FieldOfColumn(col).box), Qt::FindDirectChildrenOnly);
}

QString frmTagwell::entryText(int col) const {
    QLineEdit* t = entryBox(col);
    return t ? t->text() : QString();
}
void frmTagwell::setEntryText(int col, const QString& text) {
    if (QLineEdit* t = entryBox(col)) t->setText(text);
}
QString frmTagwell::selRowText() const { return txtSelRow->text(); }
void frmTagwell::setSelRowText(const QString& text) { txtSelRow->setText(text); }
void frmTagwell::focusSku(bool selectAll) {
    txtSku->setFocus(Qt::OtherFocusReason);
    if (selectAll) txtSku->setSelection(0, static_cast<int>(txtSku->text().size()));
}
void frmTagwell::showWindow() {
    if (!isVisible()) show();
}
void frmTagwell::setPrintCaption(const QString& caption) { cmdPrintGrid->setText(caption); }
QString frmTagwell::PrintButtonCaption() const { return cmdPrintGrid->text(); }
void frmTagwell::setCaption(const QString& caption) {
    setWindowTitle(caption);
    // The caption shows while the fonts go out, before any event runs again.
    if (isVisible()) repaint();
}

int frmTagwell::WindowState() const {
    if (isMinimized()) return 1;
    if (isMaximized()) return 2;
    return 0;
}
double frmTagwell::Top() const { return twips_.toTwipsY(y()); }
double frmTagwell::Left() const { return twips_.toTwipsX(x()); }
double frmTagwell::Height() const { return twips_.toTwipsY(height()); }
double frmTagwell::Width() const { return twips_.toTwipsX(width()); }
void frmTagwell::setTop(double twips) { move(x(), twips_.toPixelsY(twips)); }
void frmTagwell::setLeft(double twips) { move(twips_.toPixelsX(twips), y()); }
void frmTagwell::setHeight(double twips) { resize(width(), twips_.toPixelsY(twips)); }
void frmTagwell::setWidth(double twips) { resize(twips_.toPixelsX(twips), height()); }
