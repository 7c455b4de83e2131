#include "datafiles/Export.h"

#include "shell/common/Cp1252.h"
#include "grid/LabelGrid.h"
#include "platform/FileAccess.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Outcome.h"
#include "shell/common/RowFields.h"

#include <QFileInfo>

namespace {

constexpr int kStyle = MsgStyle::OKOnly | MsgStyle::Information;

// Why `path` cannot take the export, or "" when nothing speaks against trying. A file marked
// read-only is left alone even for a user whom the system would let write it anyway.
constexpr QFileDevice::Permissions kAnyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

QString RefusalReason(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return QStringLiteral("The name belongs to a folder.");
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) return QStringLiteral("The folder does not exist.");
    if (info.exists() && !(info.permissions() & kAnyWrite)) return QStringLiteral("The file is read-only.");
    // The same for a folder marked read-only: the file is replaced by a rename inside it.
    if (info.isFile() && !(folder.permissions() & kAnyWrite)) return QStringLiteral("The folder is read-only.");
    if (!info.exists() && !(folder.permissions() & kAnyWrite)) return QStringLiteral("The folder is read-only.");
    return QString();
}

}  // namespace

QByteArray ExportFileBytes(const LabelGrid& grid) {
    QString text;
    for (const RowField* f : kExportFields) {
        if (f != kExportFields.front()) text += u'\t';
        text += FieldName(*f);
    }
    text += u"\r\n";
    for (int r = 1; r < grid.Rows(); ++r) {
        if (IsBlank(grid.TextMatrix(r, GridCol::Sku))) continue;
        for (const RowField* f : kExportFields) {
            if (f != kExportFields.front()) text += u'\t';
            text += grid.TextMatrix(r, f->column);
        }
        text += u"\r\n";
    }
    return EncodeCp1252(text);
}

Outcome SaveDataToFile(Dialogs& dialogs, SettingsStore& store, const LabelGrid& grid) {
    if (grid.Rows() == 2 && IsBlank(grid.TextMatrix(1, GridCol::Sku)))
        return Outcome::failure(QStringLiteral("Grid is empty.  No data to export"), kStyle);

    const QString key = QString::fromLatin1(kFileImpExpKey);
    FileDialogRequest request;
    request.fileName = store.GetSetting(kRegApp, kRegSec, key, QString());
    request.dialogTitle = QStringLiteral("Export File");
    request.flags = 16384;  // share-aware; an existing file is replaced without asking
    request.filter = QStringLiteral("All Files (*.*)|*.*|Tab Delimited Files (*.txt)|*.txt");
    request.filterIndex = 2;
    const std::optional<QString> chosen = dialogs.ShowSave(request);
    if (!chosen) return Outcome().markFailed();  // nothing written, nothing to tell
    const QString path = *chosen;
    Outcome outcome;
    try {
        store.SaveSetting(kRegApp, kRegSec, key, path);
    } catch (const TagwellError& e) {
        outcome.addNotice(e.description(), kStyle);  // not remembered; the export itself goes on
    }

    const QString failure = QStringLiteral("Could not save the data to the file: ") + path + u'\n';
    if (const QString reason = RefusalReason(path); !reason.isEmpty()) return outcome.addFailure(failure + reason, kStyle);

    // Written beside the target and renamed over it only once complete (a device or a pipe in
    // place), so a failure never leaves a half-written file nor destroys the one that was there.
    if (const QString reason = WriteWholeFile(path, ExportFileBytes(grid)); !reason.isEmpty())
        return outcome.addFailure(failure + reason, kStyle);
    return outcome;
}
