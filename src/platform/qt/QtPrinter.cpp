#include "platform/qt/QtPrinter.h"

#include "platform/Dialogs.h"
#include "platform/FileAccess.h"
#include "platform/qt/QtBarcode.h"
#include "platform/qt/QtCupsQueue.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cmath>

namespace {

// A laser's resolution for PDF documents, so pen widths in printer pixels look as they would on
// the stores' printers.
constexpr int kPdfResolution = 600;
constexpr double kTwipsPerInch = 1440.0;

// name.pdf, then name-2.pdf, name-3.pdf ... for the later documents of one job.
QString numbered(const QString& path, int n) {
    if (n <= 1) return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-%1").arg(n) + suffix);
}

// A queue's own default page (a Dymo queue offers its label) with the queue's printable area as
// margins, so that the origin of a label is where the device can print, and the way the queue turns
// a landscape page onto that page.
QtPrinter::QueuePage queuePage(const QString& name) {
    QPrinter probe(QPrinter::HighResolution);
    probe.setPrinterName(name);
    const QPageSize size = QPrinterInfo::printerInfo(name).defaultPageSize();
    if (size.isValid()) probe.setPageSize(size);
    QPageLayout layout = probe.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    layout.setMargins(layout.minimumMargins());
    return {layout, CupsQueue::LandscapeTurn(name)};
}

// The queue's page as the document holds it. A landscape page is the portrait page turned, so its
// printable area turns with it: the driver turns the page back onto the media and clips to the
// margins of the media as it lies in the printer. A turn of 90 (counter-clockwise) brings the
// media's bottom edge to the page's left, -90 its top edge.
QPageLayout pageAs(const QtPrinter::QueuePage& queue, bool landscape) {
    if (!landscape) return queue.portrait;
    const QMarginsF m = queue.portrait.margins();
    const QMarginsF turned = queue.turn < 0 ? QMarginsF(m.top(), m.right(), m.bottom(), m.left())
                                            : QMarginsF(m.bottom(), m.left(), m.top(), m.right());
    return QPageLayout(queue.portrait.pageSize(), QPageLayout::Landscape, turned, queue.portrait.units());
}

// True when the PDF file at `path` was written to its end: its trailer's cross-reference offset
// points at the cross-reference table. The PDF writer counts the bytes it meant to write, so a
// write lost on a full disk shifts the table away from that offset, and a file cut short has no
// trailer.
bool pdfComplete(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 size = file.size();
    if (!file.seek(std::max<qint64>(0, size - 256))) return false;
    const QByteArray tail = file.read(256);
    const qsizetype at = tail.lastIndexOf("startxref");
    if (at < 0 || !tail.trimmed().endsWith("%%EOF")) return false;
    bool ok = false;
    const qint64 xref = tail.mid(at + 9, tail.indexOf("%%EOF", at) - at - 9).trimmed().toLongLong(&ok);
    if (!ok || xref < 0 || xref >= size || !file.seek(xref)) return false;
    return file.read(4) == "xref";
}

}  // namespace

QtPrinter::QtPrinter(Dialogs& dialogs) : dialogs_(dialogs), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    names_ = QPrinterInfo::availablePrinterNames();
    names_ << fileDeviceName();
    const QString def = QPrinterInfo::defaultPrinterName();
    current_ = def.isEmpty() ? static_cast<int>(names_.size()) - 1 : std::max<int>(0, static_cast<int>(names_.indexOf(def)));
    applyDevice(true);
}

QtPrinter::~QtPrinter() {
    // A document still open when the program ends is printed rather than lost.
    EndDoc();
}

QString QtPrinter::fileDeviceName() { return QStringLiteral("Print to File (PDF)"); }

QString QtPrinter::DeviceName() const { return names_.value(current_); }

void QtPrinter::applyDevice(bool pdfDefaults) {
    if (toFile()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setResolution(kPdfResolution);
        if (pdfDefaults) {
            // Label sheets are US Letter. An eighth of an inch all round stands in for the edge a
            // laser cannot print on: the 4-up sheet's labels run across the full 8.5 inches.
            printer_->setPageSize(QPageSize(QPageSize::Letter));
            printer_->setPageMargins(QMarginsF(9, 9, 9, 9), QPageLayout::Point);
        }
    } else if (CupsQueue::Available()) {
        // Drawn as PDF at a laser's resolution and handed to the queue at EndDoc.
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setResolution(kPdfResolution);
        // A Dymo job comes back to its queue for every label: ask the printing system once.
        printer_->setPageLayout(pageAs(currentQueue(), orientation_ == PrinterOrientation::Landscape));
    } else {
        printer_->setOutputFormat(QPrinter::NativeFormat);
        printer_->setPrinterName(names_[current_]);
    }
    forgetFonts();
}

const QtPrinter::QueuePage& QtPrinter::currentQueue() {
    auto page = queuePages_.constFind(names_[current_]);
    if (page == queuePages_.cend()) page = queuePages_.insert(names_[current_], queuePage(names_[current_]));
    return *page;
}

QSizeF QtPrinter::printableTwips(const QString& name, int orientation) const {
    if (!CupsQueue::Available() || name == fileDeviceName() || !names_.contains(name)) return {};
    const QPageLayout page = pageAs(queuePage(name), orientation == PrinterOrientation::Landscape);
    return page.paintRect(QPageLayout::Point).size() * 20;
}

void QtPrinter::forgetFonts() {
    fontCache_.clear();
}

void QtPrinter::setPrinter(int index) {
    if (index < 0 || index >= names_.size()) return;
    // The open document belongs to the printer it was begun on: finish it there.
    if (painter_.isActive() || discarded_) EndDoc();
    current_ = index;
    applyDevice(true);
}

void QtPrinter::setOutputFile(const QString& path) {
    if (painter_.isActive() || discarded_) EndDoc();
    fixedFile_ = path;
    current_ = static_cast<int>(names_.size()) - 1;
    applyDevice(true);
}

QPageLayout QtPrinter::pageLayout() const { return printer_->pageLayout(); }

void QtPrinter::adoptDeviceSettings(const QPrinter& chosen) {
    if (painter_.isActive() || discarded_) EndDoc();
    const bool pdf = chosen.outputFormat() == QPrinter::PdfFormat;
    if (pdf) {
        fixedFile_ = chosen.outputFileName();
        current_ = static_cast<int>(names_.size()) - 1;
    } else {
        const auto i = names_.indexOf(chosen.printerName());
        if (i >= 0) current_ = static_cast<int>(i);
    }
    orientation_ = chosen.pageLayout().orientation() == QPageLayout::Landscape ? PrinterOrientation::Landscape
                                                                                : PrinterOrientation::Portrait;
    applyDevice(false);
    // A file keeps the page the dialog chose; a printer prints on its own default page.
    if (pdf) printer_->setPageLayout(chosen.pageLayout());
}

void QtPrinter::StartJob() {
    if (jobDepth_++ == 0) {
        jobFile_.clear();
        jobDeclined_ = false;
        jobDocuments_ = 0;
        outcome_ = {};
    }
}

void QtPrinter::fail(const QString& why) {
    if (outcome_.failure.isEmpty()) outcome_.failure = why;
}

void QtPrinter::FinishJob() {
    if (jobDepth_ > 0) --jobDepth_;
}

void QtPrinter::setFontSize(double points) {
    // Sizes are kept to a quarter point, as printer drivers round them.
    fontSize_ = std::round(points * 4) / 4;
}

QFont QtPrinter::makeFont() const {
    // The printer's default face: a plain sans serif.
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(fontSize_ > 0 ? fontSize_ : 1);
    font.setBold(bold_);
    font.setItalic(italic_);
    font.setUnderline(underline_);
    return font;
}

const QtPrinter::FontEntry& QtPrinter::currentFont() {
    const quint32 key = (static_cast<quint32>(std::lround(fontSize_ * 4)) << 3) | (bold_ ? 1u : 0u) |
                        (italic_ ? 2u : 0u) | (underline_ ? 4u : 0u);
    auto it = fontCache_.find(key);
    if (it == fontCache_.end()) {
        QFont font = makeFont();
        QFontMetricsF metrics(font, printer_.get());
        it = fontCache_.emplace(key, FontEntry{key, std::move(font), metrics}).first;
    }
    return it->second;
}

double QtPrinter::TextWidth(const QString& text) {
    const double dpi = printer_->resolution();
    const FontEntry& f = currentFont();
    return f.metrics.horizontalAdvance(text) * kTwipsPerInch / dpi;
}

QColor QtPrinter::color(PrinterColor c) const { return QColor(c.red, c.green, c.blue); }

QString QtPrinter::documentFile() {
    QString base = fixedFile_;
    if (base.isEmpty() && jobDepth_ > 0) base = jobFile_;
    if (base.isEmpty()) {
        if (jobDepth_ > 0 && jobDeclined_) return {};
        FileDialogRequest request;
        request.fileName = QStringLiteral("labels.pdf");
        request.dialogTitle = QStringLiteral("Save Labels As PDF");
        request.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf");
        const auto chosen = dialogs_.ShowSave(request);
        if (!chosen || chosen->isEmpty()) {
            if (jobDepth_ > 0) jobDeclined_ = true;
            return {};
        }
        base = *chosen;
        if (jobDepth_ > 0) jobFile_ = base;
    }
    return jobDepth_ > 0 ? numbered(base, ++jobDocuments_) : base;
}

bool QtPrinter::beginDocument() {
    if (jobDepth_ == 0) outcome_ = {};
    if (toFile()) {
        const QString path = documentFile();
        if (path.isEmpty()) {  // the user declined: this document goes nowhere
            outcome_.declined = true;
            return false;
        }
        // The document is written beside the file and put in its place only once complete, so a
        // failed or killed job leaves the previous file as it was.
        staged_ = std::make_unique<StagedFile>(path);
        const QString staging = staged_->stagingPath();
        if (staging.isEmpty()) {
            fail(QStringLiteral("The labels could not be written to %1: %2").arg(path, staged_->errorString()));
            staged_.reset();
            return false;
        }
        printer_->setOutputFileName(staging);
    } else if (CupsQueue::Available()) {
        spool_ = std::make_unique<QTemporaryFile>(QDir(QDir::tempPath()).filePath(QStringLiteral("tagwell-XXXXXX.pdf")));
        if (!spool_->open()) {
            fail(QStringLiteral("The labels for the printer %1 could not be prepared: %2").arg(DeviceName(), spool_->errorString()));
            spool_.reset();
            return false;
        }
        printer_->setOutputFileName(spool_->fileName());
    }
    printer_->setDocName(documentName_.isEmpty() ? QStringLiteral("Tagwell labels") : documentName_);
    printer_->setFullPage(false);  // origin at the top-left of the printable area
    const bool landscape = orientation_ == PrinterOrientation::Landscape;
    if (!toFile() && CupsQueue::Available())
        printer_->setPageLayout(pageAs(currentQueue(), landscape));
    else
        printer_->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!painter_.begin(printer_.get())) {
        fail(toFile() ? QStringLiteral("The labels could not be written to %1.").arg(staged_ ? staged_->target() : printer_->outputFileName())
                      : QStringLiteral("The printer %1 could not start printing.").arg(DeviceName()));
        spool_.reset();
        staged_.reset();
        return false;
    }
    unitsPerTwip_ = printer_->resolution() / kTwipsPerInch;
    forgetFonts();  // the driver may have settled the resolution only now
    return true;
}

bool QtPrinter::ensureDocument() {
    if (painter_.isActive()) return true;
    if (discarded_) return false;
    if (!beginDocument()) {
        discarded_ = true;
        return false;
    }
    return true;
}

void QtPrinter::Print(const QString& text) {
    // The document first: beginning it may settle the device resolution and empty the font cache.
    if (ensureDocument()) {
        const FontEntry& f = currentFont();
        painter_.setPen(color(fore_));
        painter_.setFont(f.font);
        painter_.drawText(QPointF(toDevice(x_), toDevice(y_) + f.metrics.ascent()), text);
    }
    const double lineTwips = currentFont().metrics.lineSpacing() * kTwipsPerInch / printer_->resolution();
    x_ = 0;
    y_ += lineTwips;
}

void QtPrinter::Line(double x1, double y1, double x2, double y2, PrinterColor c, LineFigure figure) {
    if (!ensureDocument()) return;
    QPen pen(color(c));
    pen.setWidthF(std::max(1, drawWidth_));
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    const QPointF a(toDevice(x1), toDevice(y1)), b(toDevice(x2), toDevice(y2));
    if (figure == LineFigure::Straight || a.x() == b.x() || a.y() == b.y()) painter_.drawLine(a, b);
    else painter_.drawRect(QRectF(a, b).normalized());
}

void QtPrinter::DrawBarcode(const QString& data, double left, double top, double width, double height) {
    if (!ensureDocument()) return;
    PaintUpcA(painter_, data, QRectF(toDevice(left), toDevice(top), toDevice(width), toDevice(height)));
}

void QtPrinter::NewPage() {
    if (!ensureDocument()) return;
    printer_->newPage();
}

void QtPrinter::EndDoc() {
    if (painter_.isActive()) {
        const bool ended = painter_.end();
        if (staged_) {
            // A PDF document counts as printed only once its file is complete and in place.
            const std::unique_ptr<StagedFile> staged = std::move(staged_);
            QString reason;
            if (!ended || !pdfComplete(staged->stagedPath()))
                reason = staged->incompleteReason();
            else if (!staged->commit())
                reason = staged->errorString();
            if (!reason.isEmpty())
                fail(QStringLiteral("The labels could not be written to %1: %2").arg(staged->target(), reason));
        } else if (spool_) {
            // The queue's answer is the job's outcome: a refusal or an unreachable scheduler is
            // reported, never counted as printed.
            const QString why = ended ? CupsQueue::SubmitPdf(DeviceName(), spool_->fileName(), printer_->docName())
                                      : QStringLiteral("The labels for the printer %1 could not be prepared.").arg(DeviceName());
            if (!why.isEmpty()) fail(why);
            // Taken but held: the labels are not lost, and not printed either.
            const CupsQueue::QueueHold hold = why.isEmpty() ? CupsQueue::HoldOf(DeviceName()) : CupsQueue::QueueHold{};
            if (hold.stopped) {
                outcome_.heldBy = DeviceName();
                outcome_.heldReason = hold.reason;
                ++outcome_.heldDocuments;
            }
            spool_.reset();
        } else if (!ended || printer_->printerState() == QPrinter::Error) {
            fail(toFile() ? QStringLiteral("The labels could not be written to %1.").arg(printer_->outputFileName())
                          : QStringLiteral("The printer %1 reported an error: the labels were not printed.").arg(DeviceName()));
        }
    }
    discarded_ = false;
    x_ = 0;
    y_ = 0;
}
