#include "platform/qt/TwipsLayout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVariant>

#include <algorithm>

namespace {
// The twips are kept on each control as placed, so the layout works on exact numbers.
const char* const kLeft = "twipsLeft";
const char* const kTop = "twipsTop";
const char* const kWidth = "twipsWidth";
const char* const kHeight = "twipsHeight";
constexpr double kTwipsPerInch = 1440.0;
}  // namespace

int TwipsLayout::toPixelsX(double twips) const { return qRound(twips * window_.logicalDpiX() / kTwipsPerInch); }
int TwipsLayout::toPixelsY(double twips) const { return qRound(twips * window_.logicalDpiY() / kTwipsPerInch); }
double TwipsLayout::toTwipsX(int pixels) const { return pixels * kTwipsPerInch / window_.logicalDpiX(); }
double TwipsLayout::toTwipsY(int pixels) const { return pixels * kTwipsPerInch / window_.logicalDpiY(); }

double TwipsLayout::left(const QWidget* w) { return w->property(kLeft).toDouble(); }
double TwipsLayout::top(const QWidget* w) { return w->property(kTop).toDouble(); }
double TwipsLayout::width(const QWidget* w) { return w->property(kWidth).toDouble(); }
double TwipsLayout::height(const QWidget* w) { return w->property(kHeight).toDouble(); }

void TwipsLayout::place(QWidget* w, double left, double top, double width, double height) const {
    w->setProperty(kLeft, left);
    w->setProperty(kTop, top);
    w->setProperty(kWidth, width);
    w->setProperty(kHeight, height);
    w->setGeometry(toPixelsX(left), toPixelsY(top), std::max(toPixelsX(width), 0), std::max(toPixelsY(height), 0));
}

namespace {

bool isControl(const QWidget* w) {
    const QString name = w->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// The room the style leaves for a button's caption inside the button.
QRect buttonCaptionRect(const QAbstractButton* b) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(b)) element = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(b)) element = QStyle::SE_RadioButtonContents;
    return b->style()->subElementRect(element, &opt, b);
}

// The size a control needs for its caption at its own font; its current size when it has none.
QSize captionNeed(const QWidget* w) {
    const QSize now = w->size();
    QRect room;
    QSize text;
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        room = buttonCaptionRect(b);
        text = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
    } else if (auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty()) {
        room = l->contentsRect();
        int widest = 0;
        for (const QString& word : l->text().split(u' ')) widest = std::max(widest, l->fontMetrics().horizontalAdvance(word));
        const int width = l->wordWrap() ? std::max(room.width(), widest) : 0;
        const int flags = Qt::TextShowMnemonic | (l->wordWrap() ? Qt::TextWordWrap : 0);
        text = l->fontMetrics().boundingRect(QRect(0, 0, width, 100000), flags, l->text()).size();
        text.setWidth(std::max(text.width(), widest));
    } else if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        room = g->contentsRect();
        text = QSize(g->fontMetrics().size(Qt::TextShowMnemonic, g->title()).width(), 0);
    } else {
        return now;
    }
    return {std::max(now.width(), text.width() + now.width() - room.width()),
            std::max(now.height(), text.height() + now.height() - room.height())};
}

bool overlapsVertically(const QRect& a, const QRect& b) { return a.top() <= b.bottom() && b.top() <= a.bottom(); }

}  // namespace

int TwipsLayout::fitCaptions(QWidget* container) const {
    QList<QWidget*> all;
    for (QWidget* w : container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (isControl(w) && !w->isWindow()) all << w;
    int rightBefore = 0;
    for (QWidget* w : all) rightBefore = std::max(rightBefore, w->geometry().right());

    // Grow: a caption that is right-aligned against its control grows to the left, any other to the
    // right; a taller caption grows about its middle, no further than the controls above and below.
    for (QWidget* w : all) {
        if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (const int more = fitCaptions(g)) w->resize(w->width() + more, w->height());
        }
        const QSize need = captionNeed(w);
        QRect r = w->geometry();
        if (need.width() > r.width()) {
            const auto* l = qobject_cast<const QLabel*>(w);
            if (l && (l->alignment() & Qt::AlignRight)) r.setLeft(std::max(0, r.right() + 1 - need.width()));
            if (r.width() < need.width()) r.setWidth(need.width());
        }
        if (need.height() > r.height()) {
            int top = r.top() - (need.height() - r.height()) / 2;
            int bottom = top + need.height() - 1;
            for (QWidget* o : all) {
                const QRect og = o->geometry();
                if (o == w || og.left() > r.right() || og.right() < r.left()) continue;
                if (og.bottom() < r.top()) top = std::max(top, og.bottom() + 1);
                if (og.top() > r.bottom()) bottom = std::min(bottom, og.top() - 1);
            }
            r.setTop(std::max(top, 0));
            r.setBottom(std::max(bottom, r.bottom()));
        }
        if (r != w->geometry()) w->setGeometry(r);
    }

    // Whatever a grown control now covers moves right, past it, keeping a small gap; moves go on
    // until nothing overlaps (each move is to the right, so this ends).
    const int gap = std::max(1, toPixelsX(60));
    for (int rounds = 0, moved = 1; moved && rounds < 10000; ++rounds) {
        moved = 0;
        std::sort(all.begin(), all.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
        for (qsizetype i = 0; i < all.size() && !moved; ++i)
            for (qsizetype j = i + 1; j < all.size() && !moved; ++j) {
                const QRect a = all[i]->geometry(), b = all[j]->geometry();
                if (a.intersects(b) && overlapsVertically(a, b)) {
                    all[j]->move(a.right() + 1 + gap, b.y());
                    moved = 1;
                }
            }
    }

    // The twips the layout rules read follow what moved.
    int rightAfter = 0;
    for (QWidget* w : all) {
        const QRect g = w->geometry();
        rightAfter = std::max(rightAfter, g.right());
        if (g != QRect(toPixelsX(left(w)), toPixelsY(top(w)), toPixelsX(width(w)), toPixelsY(height(w)))) {
            w->setProperty(kLeft, toTwipsX(g.x()));
            w->setProperty(kTop, toTwipsY(g.y()));
            w->setProperty(kWidth, toTwipsX(g.width()));
            w->setProperty(kHeight, toTwipsY(g.height()));
        }
    }
    return std::max(0, rightAfter - rightBefore);
}

