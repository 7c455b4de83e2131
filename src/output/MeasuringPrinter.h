#pragma once
// A printer that takes its font state and text measures from another printer and draws nothing:
// a label laid out on it (and traced) is measured with the device's fonts, and no document is
// begun on the device.
#include "platform/Printer.h"

class MeasuringPrinter : public Printer {
public:
    explicit MeasuringPrinter(Printer& device) : device_(device) {}
    double FontSize() const override { return device_.FontSize(); }
    void setFontSize(double points) override { device_.setFontSize(points); }
    bool FontBold() const override { return device_.FontBold(); }
    void setFontBold(bool on) override { device_.setFontBold(on); }
    bool FontItalic() const override { return device_.FontItalic(); }
    void setFontItalic(bool on) override { device_.setFontItalic(on); }
    bool FontUnderline() const override { return device_.FontUnderline(); }
    void setFontUnderline(bool on) override { device_.setFontUnderline(on); }
    PrinterColor ForeColor() const override { return device_.ForeColor(); }
    void setForeColor(PrinterColor color) override { device_.setForeColor(color); }
    double CurrentX() const override { return device_.CurrentX(); }
    void setCurrentX(double twips) override { device_.setCurrentX(twips); }
    double CurrentY() const override { return device_.CurrentY(); }
    void setCurrentY(double twips) override { device_.setCurrentY(twips); }
    double TextWidth(const QString& text) override { return device_.TextWidth(text); }
    void Print(const QString&) override {}
    int DrawWidth() const override { return device_.DrawWidth(); }
    void setDrawWidth(int pixels) override { device_.setDrawWidth(pixels); }
    void Line(double, double, double, double, PrinterColor, LineFigure) override {}
    void DrawBarcode(const QString&, double, double, double, double) override {}
    void Scale() override {}
    void NewPage() override {}
    void EndDoc() override {}
    QString DeviceName() const override { return device_.DeviceName(); }
    int Orientation() const override { return device_.Orientation(); }
    void setOrientation(int) override {}
    QStringList Printers() const override { return device_.Printers(); }
    void setPrinter(int) override {}

private:
    Printer& device_;
};
