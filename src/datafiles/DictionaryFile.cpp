#include "datafiles/DictionaryFile.h"

#include "datafiles/cwDct.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"

namespace {

const QString kAlert = QStringLiteral("Alert:");
const QString kInv = QStringLiteral("INV");
constexpr std::int16_t kAllLevels = 99;

void WarnMasterStore(Dialogs& dialogs) {
    dialogs.MsgBox(DictionaryDialog::kMasterStoreWarning, MsgStyle::OKOnly | MsgStyle::Information, kAlert);
}

}  // namespace

bool DictionaryFileCommand(Dialogs& dialogs, SettingsStore& store, cwDct& dctInv) {
    const QString key = QString::fromLatin1(kDictionaryKey);
    QString name = store.GetSetting(kRegApp, kRegSec, key, QString());
    for (;;) {
        FileDialogRequest request;
        request.fileName = name;
        request.dialogTitle = DictionaryDialog::kTitle;
        request.flags = DictionaryDialog::kFlags;
        request.filter = DictionaryDialog::kFilter;
        request.filterIndex = DictionaryDialog::kFilterIndex;
        const std::optional<QString> chosen = dialogs.ShowOpen(request);
        if (!chosen) return false;  // the dictionary keeps what it holds
        name = *chosen;

        // Remembered before it is tried, so a failed name is offered again next time.
        try {
            store.SaveSetting(kRegApp, kRegSec, key, name);
        } catch (const TagwellError& e) {
            dialogs.MsgBox(e.description(), MsgStyle::OKOnly | MsgStyle::Information, kAlert);
        }

        if (dctInv.setup(name, kInv, kAllLevels) == 0) {
            if (dctInv.setupms(name, true) != 0) WarnMasterStore(dialogs);
            return true;
        }
        if (dialogs.MsgBox(DictionaryDialog::kRetryPrompt, MsgStyle::OKCancel | MsgStyle::Information, kAlert) !=
            MsgResult::OK)
            return false;  // the dictionary stays empty: setup cleared it
    }
}

void LoadDictionaryAtStartup(Dialogs& dialogs, SettingsStore& store, cwDct& dctInv) {
    const QString key = QString::fromLatin1(kDictionaryKey);
    QString name = store.GetSetting(kRegApp, kRegSec, key, QString());
    if (dctInv.setup(name, kInv, kAllLevels) != 0) {
        DictionaryFileCommand(dialogs, store, dctInv);
        name = store.GetSetting(kRegApp, kRegSec, key, QString());
    }
    if (dctInv.setupms(name, true) != 0) WarnMasterStore(dialogs);
}
