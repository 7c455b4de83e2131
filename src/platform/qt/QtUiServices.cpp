#include "platform/qt/QtUiServices.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

void QtScreenPointer::setMousePointer(int pointer) {
    if (pointer == pointer_) return;
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    if (pointer == MousePointerValue::Hourglass) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (pointer != MousePointerValue::Default) QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    pointer_ = pointer;
}

void QtEventPump::DoEvents() {
    if (sinceLast_.isValid() && sinceLast_.elapsed() < intervalMs_) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sinceLast_.start();
}

void QtEventPump::RepaintOnly() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}
