// The program's event pump lets pending events run at most once per interval.
#include "platform/qt/QtUiServices.h"

#include <QObject>
#include <gtest/gtest.h>

TEST(QtEventPump, RunsPendingEventsAtMostOncePerInterval) {
    QObject target;
    int delivered = 0;
    auto post = [&] { QMetaObject::invokeMethod(&target, [&] { ++delivered; }, Qt::QueuedConnection); };

    QtEventPump slow(60'000);
    post();
    slow.DoEvents();
    EXPECT_EQ(delivered, 1) << "the first call runs what is pending";
    post();
    slow.DoEvents();
    EXPECT_EQ(delivered, 1) << "within the interval the events wait";

    QtEventPump eager(0);
    eager.DoEvents();
    EXPECT_EQ(delivered, 2);
    post();
    eager.DoEvents();
    EXPECT_EQ(delivered, 3);
}
