#include "datafiles/DictionaryFile.h"

#include "datafiles/cwDct.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Outcome.h"

namespace {

const QString kInv = QStringLiteral("INV");
constexpr std::int16_t kAllLevels = 99;

}  // namespace

Outcome DictionaryFileCommand(Dialogs& dialogs, SettingsStore& store, cwDct& dctInv) {
    // The command is the dictionary's own self-contained set-up, always asking first, on the
    // window's "DICTIONARY" key.
    return dctInv.rsetup(true, dialogs, store, kRegApp, kRegSec, QString::fromLatin1(kDictionaryKey), kInv, kAllLevels);
}

Outcome LoadDictionaryAtStartup(Dialogs& dialogs, SettingsStore& store, cwDct& dctInv) {
    const QString key = QString::fromLatin1(kDictionaryKey);
    QString name = store.GetSetting(kRegApp, kRegSec, key, QString());
    Outcome outcome;
    if (dctInv.setup(name, kInv, kAllLevels) != 0) {
        outcome += DictionaryFileCommand(dialogs, store, dctInv);
        name = store.GetSetting(kRegApp, kRegSec, key, QString());
    }
    if (dctInv.setupms(name, true) != 0)
        outcome.addNotice(DictionaryDialog::kMasterStoreWarning, MsgStyle::OKOnly | MsgStyle::Information);
    return outcome;
}
