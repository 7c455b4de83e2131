#pragma once
// The printer object the label drivers draw on, and the list of installed printers.
//
// Positions and widths are twips (1440 to the inch) measured from the top-left corner of the
// printable area of the current page: x grows to the right, y downwards. Font sizes are points,
// pen widths printer pixels (device dots). A document is begun by the first drawing operation
// after the previous EndDoc; nothing reaches the printer before then.
#include <QString>
#include <QStringList>

// A colour as red, green and blue parts, each 0..255.
struct PrinterColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const PrinterColor&, const PrinterColor&) = default;
};

// What became of the documents of a job: delivered to the printer (or file), declined by the
// user where a file was to be chosen, or refused or lost by the printing system.
struct PrintOutcome {
    bool declined = false;  // nothing went anywhere, by the user's choice: there is nothing to report
    QString failure;        // why a document did not reach its printer or file; empty when all did
    // Documents the printer took but holds in its queue (it is stopped): the printer, the reason it
    // gives ("paper jam", may be empty) and how many documents wait there.
    QString heldBy;
    QString heldReason;
    int heldDocuments = 0;
    bool delivered() const { return !declined && failure.isEmpty(); }
};

// Page orientation values.
namespace PrinterOrientation {
constexpr int Portrait = 1;
constexpr int Landscape = 2;
}  // namespace PrinterOrientation

// What `Line` draws through its two points.
enum class LineFigure {
    Straight,  // the segment from the first point to the second
    Outline,   // the outline of the rectangle the two points span (a segment when they share x or y)
};

class Printer {
public:
    virtual ~Printer() = default;

    // Font of the text drawn next. A written size may be rounded by the device; reading returns
    // the size in force.
    virtual double FontSize() const = 0;
    virtual void setFontSize(double points) = 0;
    virtual bool FontBold() const = 0;
    virtual void setFontBold(bool on) = 0;
    virtual bool FontItalic() const = 0;
    virtual void setFontItalic(bool on) = 0;
    virtual bool FontUnderline() const = 0;
    virtual void setFontUnderline(bool on) = 0;

    // Colour of the text and figures drawn next.
    virtual PrinterColor ForeColor() const = 0;
    virtual void setForeColor(PrinterColor color) = 0;

    // Where the next text is drawn: its left edge and its top.
    virtual double CurrentX() const = 0;
    virtual void setCurrentX(double twips) = 0;
    virtual double CurrentY() const = 0;
    virtual void setCurrentY(double twips) = 0;

    // Width in twips of `text` in the current font, size and style.
    virtual double TextWidth(const QString& text) = 0;
    // Draws `text` at (CurrentX, CurrentY), then moves the current position to the start of the
    // next line (CurrentX 0, CurrentY one line lower).
    virtual void Print(const QString& text) = 0;

    // Pen width in printer pixels for figures.
    virtual int DrawWidth() const = 0;
    virtual void setDrawWidth(int pixels) = 0;
    // Draws a figure through (x1, y1) and (x2, y2) with the current DrawWidth in `color`.
    virtual void Line(double x1, double y1, double x2, double y2, PrinterColor color, LineFigure figure) = 0;

    // A UPC-A symbol of the 12-digit `data`, with its human-readable digits, filling the
    // rectangle. Data the symbology cannot encode draws nothing.
    virtual void DrawBarcode(const QString& data, double left, double top, double width, double height) = 0;

    // Returns the coordinate system to twips with its origin at the top-left of the printable area.
    virtual void Scale() = 0;
    // Ends the current page; later drawing goes to a new page of the same document.
    virtual void NewPage() = 0;
    // Ends the document and releases it to the device. Without a begun document it does nothing.
    virtual void EndDoc() = 0;

    // The device name of the current printer.
    virtual QString DeviceName() const = 0;
    // PrinterOrientation::Portrait or Landscape; takes effect from the next document.
    virtual int Orientation() const = 0;
    virtual void setOrientation(int orientation) = 0;

    // The device names of the installed printers, in the platform's order (the Printers
    // collection), and making member `index` of it the current printer.
    virtual QStringList Printers() const = 0;
    virtual void setPrinter(int index) = 0;

    // A print job that may produce several documents (a Dymo job makes one per label). A device
    // that needs to ask the user something once per job (where to save a PDF) asks at the first
    // document after StartJob instead of at every document. Calls nest; outside any job every
    // document stands alone. Drawing never depends on them.
    virtual void StartJob() {}
    virtual void FinishJob() {}

    // What became of the documents ended since the outermost StartJob (outside a job, of the last
    // document). Only a device that hands documents to a printing system can fail; the first
    // failure is kept.
    virtual PrintOutcome JobOutcome() const { return {}; }
    // The name the printing system shows for the documents begun from now on.
    virtual void setDocumentName(const QString& name) { (void)name; }
};

// The printer object's plain properties (font, colour, current position, pen, orientation) held
// as set: the part every device keeps the same way.
class PrinterState : public Printer {
public:
    double FontSize() const override { return fontSize_; }
    void setFontSize(double points) override { fontSize_ = points; }
    bool FontBold() const override { return bold_; }
    void setFontBold(bool on) override { bold_ = on; }
    bool FontItalic() const override { return italic_; }
    void setFontItalic(bool on) override { italic_ = on; }
    bool FontUnderline() const override { return underline_; }
    void setFontUnderline(bool on) override { underline_ = on; }
    PrinterColor ForeColor() const override { return fore_; }
    void setForeColor(PrinterColor color) override { fore_ = color; }
    double CurrentX() const override { return x_; }
    void setCurrentX(double twips) override { x_ = twips; }
    double CurrentY() const override { return y_; }
    void setCurrentY(double twips) override { y_ = twips; }
    int DrawWidth() const override { return drawWidth_; }
    void setDrawWidth(int pixels) override { drawWidth_ = pixels; }
    int Orientation() const override { return orientation_; }
    void setOrientation(int orientation) override { orientation_ = orientation; }

protected:
    double fontSize_ = 10;
    bool bold_ = false, italic_ = false, underline_ = false;
    PrinterColor fore_;
    double x_ = 0, y_ = 0;
    int drawWidth_ = 1;
    int orientation_ = PrinterOrientation::Portrait;
};

// Keeps a job open for the lifetime of the guard, also when an error leaves the job early.
class PrinterJobScope {
public:
    explicit PrinterJobScope(Printer& printer) : printer_(printer) { printer_.StartJob(); }
    ~PrinterJobScope() { printer_.FinishJob(); }
    PrinterJobScope(const PrinterJobScope&) = delete;
    PrinterJobScope& operator=(const PrinterJobScope&) = delete;

private:
    Printer& printer_;
};

// The platform's printer dialog in its print-setup form. The printer and settings chosen there
// become the current printer of the printer adapter, used by later laser jobs of this run.
class PrinterSetupDialog {
public:
    virtual ~PrinterSetupDialog() = default;
    // False when the user cancelled: nothing changed.
    virtual bool ShowPrinterSetup() = 0;
};
