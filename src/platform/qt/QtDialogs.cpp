#include "platform/qt/QtDialogs.h"

#include "platform/ConnectionSecrets.h"
#include "platform/FileAccess.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include <limits>

int QtDialogs::MsgBox(const QString& prompt, int style, const QString& title) {
    QMessageBox box(owner_);
    // Whatever a message quotes, no password of a connection string is shown.
    box.setWindowTitle(MaskSecrets(title));
    box.setText(MaskSecrets(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (style & 0x70) {
    case MsgStyle::Critical: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case MsgStyle::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgStyle::Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if ((style & 7) == MsgStyle::OKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Cancel ? MsgResult::Cancel : MsgResult::OK;
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& def) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner_, title, QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                                               QLineEdit::Normal, def, &ok);
    return ok ? text : QString();
}

QStringList QtDialogs::qtFilters(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(u';', u' ');
        if (pattern.trimmed() == QLatin1String("*.*")) pattern = QStringLiteral("*");
        QString text = parts[i];
        // Qt reads the patterns from the parentheses; keep the caption, give it the patterns.
        const qsizetype paren = text.indexOf(u'(');
        if (paren > 0) text = text.left(paren).trimmed();
        out << QStringLiteral("%1 (%2)").arg(text, pattern);
    }
    return out;
}

std::optional<QString> QtDialogs::showFile(const FileDialogRequest& r, bool save) {
    QFileDialog dlg(owner_, r.dialogTitle);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // 4096: the file must exist; 2: ask before overwriting. The dialog itself cannot find a file
    // whose name is not UTF-8 (an old store share): it reads the name with its stray bytes lost. So
    // it takes any name, and the file is looked for here.
    dlg.setFileMode(QFileDialog::AnyFile);
    const bool mustExist = !save && (r.flags & 4096);
    if (save && !(r.flags & 2)) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = qtFilters(r.filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        const int index = r.filterIndex >= 1 && r.filterIndex <= filters.size() ? r.filterIndex - 1 : 0;
        dlg.selectNameFilter(filters[index]);
    }
    if (!r.fileName.isEmpty()) {
        const QFileInfo info(r.fileName);
        if (info.dir().exists()) dlg.setDirectory(info.absolutePath());
        dlg.selectFile(info.fileName());
    }
    for (;;) {
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
        const QString chosen = ExactFileName(dlg.selectedFiles().first());
        if (!mustExist || ReadRefusal(chosen, std::numeric_limits<qint64>::max()) != kNoSuchFileReason) return chosen;
        QMessageBox::warning(&dlg, dlg.windowTitle(),
                             QStringLiteral("%1\nFile not found.\nPlease verify the correct file name was given.")
                                 .arg(QFileInfo(chosen).fileName()));
    }
}

std::optional<QString> QtDialogs::ShowOpen(const FileDialogRequest& request) { return showFile(request, false); }
std::optional<QString> QtDialogs::ShowSave(const FileDialogRequest& request) { return showFile(request, true); }
