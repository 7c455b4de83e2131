#pragma once
// The main window as the print job sees it: its caption and the print button's, with every
// change of each kept in order.
#include "output/PrintJob.h"

#include <QStringList>

class RecordingWindow : public PrintJobWindow {
public:
    QString button = QStringLiteral("Print"), caption = QStringLiteral("Tagwell");
    QStringList buttonHistory, captionHistory;
    QString Caption() const override { return caption; }
    void setCaption(const QString& c) override { captionHistory << (caption = c); }
    QString PrintButtonCaption() const override { return button; }
    void setPrintButtonCaption(const QString& c) override { buttonHistory << (button = c); }
};
