#pragma once
// A printer that passes every operation on to another printer and writes one trace line for each
// drawing, page, document, device and orientation operation. Fields are separated by one tab and
// positions are whole twips:
//   DEVICE <name>                                  a printer became current
//   ORIENT <1|2>
//   TEXT <x> <y> <width> <size> <style> <r,g,b> <text>
//        x, y = CurrentX, CurrentY at Print; width = TextWidth of the text as printed;
//        size = FontSize in points; style = B, I, U each replaced by - when off (B-U)
//   LINE <x1> <y1> <x2> <y2> <pen> <r,g,b>
//   BARCODE <x> <y> <w> <h> <data>
//   NEWPAGE
//   ENDDOC
#include "platform/Printer.h"

#include <functional>

class TracingPrinter : public Printer {
public:
    using Sink = std::function<void(const QString& line)>;
    TracingPrinter(Printer& inner, Sink sink) : inner_(inner), sink_(std::move(sink)) {}

    double FontSize() const override { return inner_.FontSize(); }
    void setFontSize(double points) override { inner_.setFontSize(points); }
    bool FontBold() const override { return inner_.FontBold(); }
    void setFontBold(bool on) override { inner_.setFontBold(on); }
    bool FontItalic() const override { return inner_.FontItalic(); }
    void setFontItalic(bool on) override { inner_.setFontItalic(on); }
    bool FontUnderline() const override { return inner_.FontUnderline(); }
    void setFontUnderline(bool on) override { inner_.setFontUnderline(on); }
    PrinterColor ForeColor() const override { return inner_.ForeColor(); }
    void setForeColor(PrinterColor color) override { inner_.setForeColor(color); }
    double CurrentX() const override { return inner_.CurrentX(); }
    void setCurrentX(double twips) override { inner_.setCurrentX(twips); }
    double CurrentY() const override { return inner_.CurrentY(); }
    void setCurrentY(double twips) override { inner_.setCurrentY(twips); }
    double TextWidth(const QString& text) override { return inner_.TextWidth(text); }
    void Print(const QString& text) override;
    int DrawWidth() const override { return inner_.DrawWidth(); }
    void setDrawWidth(int pixels) override { inner_.setDrawWidth(pixels); }
    void Line(double x1, double y1, double x2, double y2, PrinterColor color, LineFigure figure) override;
    void DrawBarcode(const QString& data, double left, double top, double width, double height) override;
    void Scale() override { inner_.Scale(); }
    void NewPage() override;
    void EndDoc() override;
    QString DeviceName() const override { return inner_.DeviceName(); }
    int Orientation() const override { return inner_.Orientation(); }
    void setOrientation(int orientation) override;
    QStringList Printers() const override { return inner_.Printers(); }
    void setPrinter(int index) override;
    void StartJob() override { inner_.StartJob(); }
    void FinishJob() override { inner_.FinishJob(); }
    PrintOutcome JobOutcome() const override { return inner_.JobOutcome(); }
    void setDocumentName(const QString& name) override { inner_.setDocumentName(name); }

private:
    void write(const QStringList& fields);
    Printer& inner_;
    Sink sink_;
};
