#include "options/frmSierraOptions.h"

#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/PrintTargets.h"
#include "shell/common/ProgramOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace {

// The option button of a print target in the "Print To:" frame.
QRadioButton* targetButton(const QGroupBox* frame, const PrintTarget& target) {
    return frame->findChild<QRadioButton*>(QLatin1StringView(target.optionButton));
}

// Designed inner size of the dialog and the two left edges its resize rule keeps.
constexpr double kDesignWidth = 4008;
constexpr double kDesignHeight = 7932;
constexpr double kFieldLeft = 1560;   // txtSierraFormat
constexpr double kMarginLeft = 240;   // ckbConvertUpc

// "Open file" flags: hide the read-only box, the file must exist, share-aware.
constexpr int kOpenFlags = 20484;

// The port box must hold a decimal number; a fraction is rounded, a half to the even neighbour.
// Anything else (blank, letters after the digits, &H forms), and a number that rounds outside
// 1..32767, is no serial port number at all.
std::optional<std::int16_t> portFromText(const QString& text) {
    static const QRegularExpression decimal(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    if (!decimal.match(text).hasMatch()) return std::nullopt;
    const double value = RoundHalfEven(text.trimmed().toDouble());
    if (!std::isfinite(value) || value < 1 || value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

}  // namespace

frmSierraOptions::frmSierraOptions(ProgramOptions& options, Dialogs& dialogs, Printer* printer, QWidget* parent,
                                   CommandGuard guard)
    : QDialog(parent), guard_(std::move(guard)), options_(options), dialogs_(dialogs), printer_(printer) {
    setObjectName(QStringLiteral("frmSierraOptions"));
    setWindowTitle(QStringLiteral("Label Program Options"));
    buildControls();
    // The platform's face may need more room than the designed places give a caption.
    const int wider = twips_.fitCaptions(this);
    resize(twips_.toPixelsX(kDesignWidth) + wider, twips_.toPixelsY(kDesignHeight));
    Form_Load();
    Form_Resize();
}

void frmSierraOptions::buildControls() {
    auto place = [&](QWidget* w, const char* name, double left, double top, double width, double height,
                     const char* tip = nullptr) {
        w->setObjectName(QString::fromLatin1(name));
        if (tip) w->setToolTip(QString::fromLatin1(tip));
        twips_.place(w, left, top, width, height);
    };
    auto check = [&](QCheckBox*& c, const char* name, const char* caption, double left, double top, double width,
                     double height, const char* tip) {
        c = new QCheckBox(QString::fromLatin1(caption), this);
        place(c, name, left, top, width, height, tip);
    };
    auto text = [&](QLineEdit*& t, const char* name, double left, double top, double width, double height,
                    const char* tip = nullptr) {
        t = new QLineEdit(this);
        place(t, name, left, top, width, height, tip);
    };
    auto option = [&](QRadioButton*& r, const char* name, const char* caption, double left, double top, double width,
                      double height) {
        r = new QRadioButton(QString::fromLatin1(caption), Frame1);
        place(r, name, left, top, width, height);
    };

    check(ckbConvertUpc, "ckbConvertUpc", "Convert UPC to SKU", 240, 120, 2292, 252,
          "Check if using a scanner.  Will look up values in the UPC database and cross reference to a sku.  "
          "Uncheck to treat all entered values as skus.");
    check(ckbShowDetail, "ckbShowDetail", "Show All Columns in Data Grid", 240, 480, 2532, 252,
          "Uncheck to show Sku, Mfn and Description Only");
    check(ckbSingleSheet, "ckbSingleSheet", "Single Sheet Mode", 240, 840, 2292, 192,
          "Check to limit grid to one sheet of labels.  Uncheck to allow more rows.");

    Frame1 = new QGroupBox(QStringLiteral("Print To:"), this);
    place(Frame1, "Frame1", 240, 1200, 3612, 972);
    option(ckbLaser3, "ckbLaser3", "Laser 3-Up", 240, 240, 1212, 192);
    option(ckbLaser4, "ckbLaser4", "Laser 4-Up", 240, 600, 1212, 252);
    option(ckbSierraSport, "ckbSierraSport", "Sierra Sport", 1680, 240, 1212, 192);
    option(ckbDymo, "ckbDymo", "Dymo", 1680, 600, 1332, 252);

    text(txtLaser3Format, "txtLaser3Format", 1560, 2280, 2292, 372);
    text(txtL3Lr, "txtL3Lr", 1200, 2832, 492, 288, "Left-Right Offset for Laser 3-Up Format (-110, 0, 200)");
    text(txtL3Ud, "txtL3Ud", 3120, 2832, 492, 288, "Up-Down Offset for Laser 3-Up Format (-110, 0, 200)");
    text(txtLaser4Format, "txtLaser4Format", 1560, 3360, 2292, 372);
    text(txtL4Lr, "txtL4Lr", 1200, 3912, 492, 288, "Left-Right Offset for Laser 4-Up Format (-110, 0, 200)");
    text(txtL4Ud, "txtL4Ud", 3120, 3912, 492, 288, "Up-Down Offset for Laser 4-Up Format (-110, 0, 200)");
    text(txtDymoFormat, "txtDymoFormat", 1560, 4350, 2292, 372);
    cboDymoName = new QComboBox(this);  // a drop-down list: a name is picked, not typed
    place(cboDymoName, "cboDymoName", 1560, 4872, 2292, 288);
    check(ckbInstantPrint, "ckbInstantPrint", "Instant Print (Sierra Sport and Dymo Only)", 120, 5400, 3492, 252,
          "Check to print Sierra Sport Label as soon as ENTER key is pressed");
    text(txtPort, "txtPort", 1320, 5880, 612, 288, "Which port the Sierra Sport is on");
    text(txtSettings, "txtSettings", 1920, 6360, 1572, 288, "Sierra Sport Baud, Parity, Data Bits, Stop Bits");
    text(txtSierraFont, "txtSierraFont", 1560, 6840, 2292, 372, "Sierra Sport Font File (.pcl)");
    text(txtSierraFormat, "txtSierraFormat", 1560, 7320, 2292, 372, "Sierra Sport Format File (.fab)");

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    place(cmdSave, "cmdSave", 3000, 120, 852, 372, "Save changes and exit options");
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    place(cmdCancel, "cmdCancel", 3000, 720, 852, 372, "Exit Options without saving changes");
    // ENTER in a box must not save behind the user's back; only the buttons close the dialog.
    cmdSave->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    // Each caption stands at the left of its control on the same row, right-aligned against it;
    // the up-down captions stand between the left-right box and the up-down box.
    struct Caption {
        const char* text;
        QWidget* control;
        double left;
    };
    const Caption captions[12] = {
        {"Laser 3-Up Format:", txtLaser3Format, 120}, {"L3 L-R Offset", txtL3Lr, 120},
        {"L3 U-D Offset", txtL3Ud, 1752},            {"Laser 4-Up Format:", txtLaser4Format, 120},
        {"L4 L-R Offset", txtL4Lr, 120},             {"L4 U-D Offset", txtL4Ud, 1752},
        {"Dymo Format:", txtDymoFormat, 120},        {"DymoPrinter:", cboDymoName, 120},
        {"Sierra Port", txtPort, 120},               {"Settings(9600,n,8,1)", txtSettings, 120},
        {"Sierra Font File:", txtSierraFont, 120},   {"Sierra Format:", txtSierraFormat, 120},
    };
    for (int i = 0; i < 12; ++i) {
        const Caption& c = captions[i];
        auto* l = new QLabel(QString::fromLatin1(c.text), this);
        l->setObjectName(QStringLiteral("Label1_%1").arg(i));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setWordWrap(true);
        const double width = TwipsLayout::left(c.control) - 60 - c.left;
        twips_.place(l, c.left, TwipsLayout::top(c.control), width, TwipsLayout::height(c.control));
        l->setBuddy(c.control);
        Label1[i] = l;
    }

    // The frame itself takes no focus; its four option buttons keep their places in the order.
    QWidget* order[] = {ckbConvertUpc, ckbShowDetail, ckbSingleSheet, ckbLaser3, ckbLaser4, ckbSierraSport, ckbDymo,
                        txtLaser3Format, txtL3Lr, txtL3Ud, txtLaser4Format, txtL4Lr, txtL4Ud, txtDymoFormat,
                        cboDymoName, ckbInstantPrint, txtPort, txtSettings, txtSierraFont, txtSierraFormat, cmdSave,
                        cmdCancel};
    for (size_t i = 0; i + 1 < std::size(order); ++i) QWidget::setTabOrder(order[i], order[i + 1]);

    for (QLineEdit* t : {txtDymoFormat, txtLaser3Format, txtLaser4Format, txtSierraFont, txtSierraFormat})
        t->installEventFilter(this);
    connect(cmdSave, &QPushButton::clicked, this, &frmSierraOptions::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSierraOptions::cmdCancel_Click);
}

void frmSierraOptions::Form_Load() {
    cboDymoName->clear();
    int selected = -1;
    const QStringList printers = printer_ ? printer_->Printers() : QStringList();
    for (qsizetype i = 0; i < printers.size(); ++i) {
        cboDymoName->addItem(printers[i]);
        if (printers[i] == options_.SierraDymoDeviceName) selected = static_cast<int>(i);  // the last equal name
    }
    // With no printer at all the list stays empty and nothing is selected.
    if (cboDymoName->count() > 0) cboDymoName->setCurrentIndex(selected >= 0 ? selected : 0);

    // A code that names no printer shows the Sierra Sport chosen.
    const PrintTarget* target = FindPrintTarget(options_.SierraPrint);
    targetButton(Frame1, target ? *target : kPrintTargets.front())->setChecked(true);

    ckbInstantPrint->setChecked(options_.SierraInstant != 0);
    ckbShowDetail->setChecked(options_.SierraShowDetail != 0);
    ckbSingleSheet->setChecked(options_.SierraSingleSheet != 0);
    ckbConvertUpc->setChecked(options_.SierraConvertUpc != 0);

    txtPort->setText(QString::number(options_.SierraPort));

    txtSierraFormat->setText(options_.SierraFormat);
    txtDymoFormat->setText(options_.SierraFormat1);
    txtLaser3Format->setText(options_.SierraFormat3);
    txtLaser4Format->setText(options_.SierraFormat4);
    txtL3Lr->setText(options_.SierraOffLr3);
    txtL3Ud->setText(options_.SierraOffUd3);
    txtL4Lr->setText(options_.SierraOffLr4);
    txtL4Ud->setText(options_.SierraOffUd4);
    txtSierraFont->setText(options_.SierraFont);
    txtSettings->setText(options_.SierraSettings);
}

double frmSierraOptions::ScaleWidth() const { return twips_.toTwipsX(width()); }

void frmSierraOptions::Form_Resize() {
    // The six path and name fields keep a 240-twip margin to the right edge. The width is a whole
    // number of twips; a screen wider than 16 bits of twips still just widens them.
    const double width = RoundHalfEven(ScaleWidth() - kFieldLeft - kMarginLeft);
    if (width <= 200) return;
    // A field that a wide caption pushed right keeps the same margin.
    for (QWidget* w : std::initializer_list<QWidget*>{txtLaser3Format, txtLaser4Format, txtDymoFormat, txtSierraFormat,
                                                      txtSierraFont, cboDymoName})
        twips_.place(w, TwipsLayout::left(w), TwipsLayout::top(w),
                          width - (TwipsLayout::left(w) - kFieldLeft), TwipsLayout::height(w));
}

void frmSierraOptions::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmSierraOptions::cmdSave_Click() {
    // The port is checked before anything is taken, so a refused Save changes no option.
    const std::optional<std::int16_t> port = portFromText(txtPort->text());
    if (!port) {
        dialogs_.MsgBox(QStringLiteral("Sierra Port must be a whole number from 1 to 32767."), MsgStyle::Information,
                        kAlert);
        txtPort->setFocus(Qt::OtherFocusReason);
        txtPort->selectAll();
        return;
    }

    for (const PrintTarget& target : kPrintTargets) {
        if (targetButton(Frame1, target)->isChecked()) {
            options_.SierraPrint = static_cast<std::int16_t>(target.code);
            break;
        }
    }

    options_.SierraInstant = ckbInstantPrint->isChecked() ? 1 : 0;
    options_.SierraShowDetail = ckbShowDetail->isChecked() ? 1 : 0;
    options_.SierraSingleSheet = ckbSingleSheet->isChecked() ? 1 : 0;
    options_.SierraConvertUpc = ckbConvertUpc->isChecked() ? 1 : 0;

    options_.SierraPort = *port;

    options_.SierraFormat = txtSierraFormat->text();
    options_.SierraFormat1 = txtDymoFormat->text();
    options_.SierraFormat3 = txtLaser3Format->text();
    options_.SierraFormat4 = txtLaser4Format->text();

    options_.SierraOffLr3 = txtL3Lr->text();
    options_.SierraOffUd3 = txtL3Ud->text();
    options_.SierraOffLr4 = txtL4Lr->text();
    options_.SierraOffUd4 = txtL4Ud->text();

    options_.SierraFont = txtSierraFont->text();
    options_.SierraSettings = txtSettings->text();

    // With no printer listed there is no name to take; the stored one stays.
    if (cboDymoName->currentIndex() >= 0) options_.SierraDymoDeviceName = cboDymoName->currentText();

    accept();
}

void frmSierraOptions::cmdCancel_Click() { reject(); }

void frmSierraOptions::chooseFile(QLineEdit* box, const char* title, const char* filter) {
    FileDialogRequest request;
    request.fileName = box->text();
    request.dialogTitle = QString::fromLatin1(title);
    request.flags = kOpenFlags;
    request.filter = QString::fromLatin1(filter);
    request.filterIndex = 2;  // the box's own file type
    if (const std::optional<QString> chosen = dialogs_.ShowOpen(request)) box->setText(*chosen);
}

void frmSierraOptions::txtDymoFormat_DblClick() {
    chooseFile(txtDymoFormat, "Dymo Printer Format File", "All Files (*.*)|*.*|fa1 Files (*.fa1)|*.fa1");
}
void frmSierraOptions::txtLaser3Format_DblClick() {
    chooseFile(txtLaser3Format, "Laser Printer 3-Up Format File", "All Files (*.*)|*.*|fa3 Files (*.fa3)|*.fa3");
}
void frmSierraOptions::txtLaser4Format_DblClick() {
    chooseFile(txtLaser4Format, "Laser Printer 4-Up Format File", "All Files (*.*)|*.*|fa4 Files (*.fa4)|*.fa4");
}
void frmSierraOptions::txtSierraFont_DblClick() {
    chooseFile(txtSierraFont, "Sierra Printer Font File", "All Files (*.*)|*.*|Pcl Files (*.pcl)|*.pcl");
}
void frmSierraOptions::txtSierraFormat_DblClick() {
    chooseFile(txtSierraFormat, "Sierra Printer Format File", "All Files (*.*)|*.*|Fab Files (*.fab)|*.fab");
}

bool frmSierraOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        void (frmSierraOptions::*handler)() = nullptr;
        if (watched == txtDymoFormat) handler = &frmSierraOptions::txtDymoFormat_DblClick;
        else if (watched == txtLaser3Format) handler = &frmSierraOptions::txtLaser3Format_DblClick;
        else if (watched == txtLaser4Format) handler = &frmSierraOptions::txtLaser4Format_DblClick;
        else if (watched == txtSierraFont) handler = &frmSierraOptions::txtSierraFont_DblClick;
        else if (watched == txtSierraFormat) handler = &frmSierraOptions::txtSierraFormat_DblClick;
        if (handler) {
            const std::function<void()> command = [this, handler] { (this->*handler)(); };
            guard_ ? guard_(command) : command();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
