#include "about/frmAbout.h"

#include "platform/Dialogs.h"
#include "shell/common/Common.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <cstring>
#endif

frmAbout::frmAbout(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    picIcon->setPixmap(icon.pixmap(32, 32));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    lblDescription = new QLabel(
        QStringLiteral("Shelf labels and price tags for retail stores.\nCopyright \u00A9 Bronta. All rights reserved."),
        this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    // Two short lines of their own: a wrapped label may be given less height than it needs.
    lblDescription->setWordWrap(false);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(Line1);
    text->addWidget(lblDescription);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    Form_Load();
}

QString frmAbout::ApplicationTitle() { return QStringLiteral("Tagwell"); }
QString frmAbout::VersionText() { return QStringLiteral(TAGWELL_VERSION); }

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + ApplicationTitle());
    lblTitle->setText(ApplicationTitle());
    lblVersion->setText(QStringLiteral("Version ") + VersionText());
}

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(dialogs_); }

namespace {

void unavailable(Dialogs& dialogs) {
    dialogs.MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), MsgStyle::OKOnly,
                   frmAbout::ApplicationTitle());
}

// A fixed program, no shell, no arguments: nothing the user typed reaches the command.
bool startProgram(const QString& path) { return !path.isEmpty() && QProcess::startDetached(path, {}); }

#ifdef Q_OS_WIN
// Reads one value of the registry. A string value comes back as it is, a 32-bit number as
// hexadecimal text; any other type leaves `KeyVal` as it was. Read access is enough: asking for
// write access to HKEY_LOCAL_MACHINE fails for every user who is not an administrator.
bool GetKeyValue(HKEY KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) {
    KeyVal.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(KeyRoot, KeyName.toLocal8Bit().constData(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[1024];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExA(key, SubKeyRef.toLocal8Bit().constData(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    if (type == REG_SZ) {
        DWORD length = size;
        if (length > 0 && buffer[length - 1] == '\0') --length;
        KeyVal = QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length));
    } else if (type == REG_DWORD && size >= sizeof(DWORD)) {
        DWORD value = 0;
        memcpy(&value, buffer, sizeof value);
        KeyVal = QString::number(value, 16).toUpper();
    }
    RegCloseKey(key);
    return true;
}
#endif

}  // namespace

#ifndef Q_OS_WIN
QStringList SysInfoPrograms() {
    return {QStringLiteral("kinfocenter"), QStringLiteral("hardinfo"), QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager")};
}

QString FindSysInfoProgram() {
    // An empty PATH has no folders to search (findExecutable would otherwise fall back to the
    // current folder on some platforms).
    const QStringList folders = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    if (folders.isEmpty()) return {};
    for (const QString& name : SysInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(name, folders);
        if (!path.isEmpty()) return path;
    }
    return {};
}
#endif

void StartSysInfo(Dialogs& dialogs) {
#ifdef Q_OS_WIN
    const HKEY root = HKEY_LOCAL_MACHINE;
    QString path;
    if (GetKeyValue(root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"), path)) {
        if (startProgram(path)) return;
    } else if (GetKeyValue(root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"),
                           path)) {
        const QString exe = path + QStringLiteral("\\MSINFO32.EXE");
        if (FileExists(exe) && startProgram(exe)) return;
    }
#else
    if (startProgram(FindSysInfoProgram())) return;
#endif
    unavailable(dialogs);
}

frmAbout& ShowAbout(QPointer<frmAbout>& box, Dialogs& dialogs) {
    // A closed box is deleted later; only one still showing counts as loaded.
    if (!box || !box->isVisible()) box = new frmAbout(dialogs);
    box->show();
    box->raise();
    box->activateWindow();
    return *box;
}
