#pragma once
// The About box: the program's title, its version from the build, a copyright line, and a button
// that starts the operating system's system information tool.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

class Dialogs;
class QFrame;
class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The box unloads itself (is deleted) when closed.
    explicit frmAbout(Dialogs& dialogs, QWidget* parent = nullptr);

    static QString ApplicationTitle();
    // "major.minor.revision" of the build.
    static QString VersionText();

    QLabel *picIcon, *lblTitle, *lblVersion, *lblDescription;
    QFrame* Line1;
    QPushButton *cmdOK, *cmdSysInfo;

public Q_SLOTS:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    Dialogs& dialogs_;
};

// Starts the system information tool; when there is none, or it will not start, says so in
// "System Information Is Unavailable At This Time".
void StartSysInfo(Dialogs& dialogs);

#ifndef Q_OS_WIN
// Programs that show the system's hardware and software, tried in this order.
QStringList SysInfoPrograms();
// The full path of the first of SysInfoPrograms() found on the PATH, or "" when none is.
QString FindSysInfoProgram();
#endif

// Help > About: shows `box` modeless, creating it when none is open. The box is a window of its
// own, not a child of the main window, so it outlives an Exit: the program ends when none of its
// windows remains, which is when this box, too, is closed.
frmAbout& ShowAbout(QPointer<frmAbout>& box, Dialogs& dialogs);
