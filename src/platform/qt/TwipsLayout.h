#pragma once
// Window places in twips (1440 to the inch), as the windows are designed, turned into pixels of
// the screen a window is on. Each control keeps its designed twips, so the layout rules of the
// windows compute on exact numbers and never on rounded pixels.
#include <QWidget>

class TwipsLayout {
public:
    // Converts through the logical DPI of `window`, read at each call (the window may be moved to
    // another screen).
    explicit TwipsLayout(const QWidget& window) : window_(window) {}

    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;
    double toTwipsX(int pixels) const;
    double toTwipsY(int pixels) const;

    // The place of a control in twips, as last placed (or as fitCaptions moved it).
    static double left(const QWidget* w);
    static double top(const QWidget* w);
    static double width(const QWidget* w);
    static double height(const QWidget* w);
    void place(QWidget* w, double left, double top, double width, double height) const;

    // Lets each control of `container` (placed in twips) grow to its caption where the font needs
    // more room than the designed place, and moves what it would then cover to the right, so no
    // caption is cut off and nothing is hidden. Returns how many pixels the right edge of the
    // controls moved out, for the container to widen by.
    int fitCaptions(QWidget* container) const;

private:
    const QWidget& window_;
};
