// Every caption of the three windows is readable at the platform's font: no caption is wider or
// taller than the place its control gives it, and no control lies over another. The program runs
// this at QT_SCALE_FACTOR 1 (the default font), 1.25 and 2.
#include "WindowFixture.h"
#include "about/frmAbout.h"
#include "options/frmSierraOptions.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDebug>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// Problems with the captions and places of `window`'s named controls, one line each.
QStringList captionProblems(QWidget* window) {
    QStringList problems;
    QList<QWidget*> all;
    const auto describe = [](const QWidget* w) { return w->objectName() + QDebug::toString(w->geometry()).remove("QRect"); };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();  // Qt's own parts of compound controls are not controls
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || name == QLatin1String("inner") || !w->isVisibleTo(window)) continue;
        all << w;
        QRect room;  // where the caption is drawn
        QSize text;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            QStyleOptionButton opt;
            opt.initFrom(b);
            opt.text = b->text();
            room = b->style()->subElementRect(qobject_cast<QCheckBox*>(b) ? QStyle::SE_CheckBoxContents
                                              : qobject_cast<QRadioButton*>(b) ? QStyle::SE_RadioButtonContents
                                                                               : QStyle::SE_PushButtonContents, &opt, b);
            text = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
        } else if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
            room = l->contentsRect();
            const int flags = Qt::TextShowMnemonic | (l->wordWrap() ? Qt::TextWordWrap : 0);
            text = l->fontMetrics().boundingRect(QRect(0, 0, room.width(), 10000), flags, l->text()).size();
            // An unbreakable word wider than the room runs out of the box even when wrapped.
            for (const QString& word : l->text().split(u' '))
                text.setWidth(std::max(text.width(), l->fontMetrics().horizontalAdvance(word)));
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            room = g->contentsRect();
            text = g->fontMetrics().size(Qt::TextShowMnemonic, g->title());
        } else {
            continue;
        }
        if (text.width() > room.width() || text.height() > room.height())
            problems << "caption of " + describe(w) + " needs " + QDebug::toString(text) + ", has " + QDebug::toString(room.size());
        if (!w->parentWidget()->rect().contains(w->geometry()))  // inside its window (or frame)
            problems << QStringLiteral("%1 runs out of %2").arg(describe(w), w->parentWidget()->objectName());
    }
    for (qsizetype i = 0; i < all.size(); ++i)
        for (qsizetype j = i + 1; j < all.size(); ++j)
            if (all[i]->parentWidget() == all[j]->parentWidget() && all[i]->geometry().intersects(all[j]->geometry()))
                problems << QStringLiteral("%1 overlaps %2").arg(describe(all[i]), describe(all[j]));
    return problems;
}

}  // namespace

TEST(CaptionsFit, MainWindowOptionsDialogAndAboutBox) {
    WindowFixture f;
    ProgramOptions options;
    frmSierraOptions dialog(options, f.dialogs, &f.printer);
    frmAbout about(f.dialogs);
    about.setAttribute(Qt::WA_DeleteOnClose, false);  // on the stack here
    for (QWidget* w : std::initializer_list<QWidget*>{&f.start(), &dialog, &about}) {
        SCOPED_TRACE(w->objectName().toStdString() + " at QT_SCALE_FACTOR=" + qEnvironmentVariable("QT_SCALE_FACTOR", "1").toStdString());
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_EQ(captionProblems(w).join('\n').toStdString(), "");
    }
}
