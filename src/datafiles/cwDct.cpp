#include "datafiles/cwDct.h"

#include "shell/common/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/FileAccess.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"

#include <QFile>
#include <QFileInfo>

cwDct::cwDct() = default;

const cwDct::Entry* cwDct::entry(std::int16_t ix) const {
    const int n = ix % 1000;  // C++ keeps the dividend's sign, as the reduction wants
    if (n < 0 || n > kHighestField) return nullptr;
    return &entries_[static_cast<std::size_t>(n)];
}

cwDct::Entry* cwDct::entry(std::int16_t ix) {
    return const_cast<Entry*>(std::as_const(*this).entry(ix));
}

std::int16_t cwDct::dAlpha(std::int16_t ix) const {
    const Entry* e = entry(ix);
    return (e ? *e : entries_[0]).alpha;
}
void cwDct::setDAlpha(std::int16_t ix, std::int16_t vNewValue) {
    if (Entry* e = entry(ix)) e->alpha = vNewValue;
}
QString cwDct::dDesc(std::int16_t ix) const {
    const Entry* e = entry(ix);
    return (e ? *e : entries_[0]).desc;
}
void cwDct::setDDesc(std::int16_t ix, const QString& vNewValue) {
    if (Entry* e = entry(ix)) e->desc = vNewValue;
}
std::int16_t cwDct::dLen(std::int16_t ix) const {
    const Entry* e = entry(ix);
    return (e ? *e : entries_[0]).len;
}
void cwDct::setDLen(std::int16_t ix, std::int16_t vNewValue) {
    if (Entry* e = entry(ix)) e->len = vNewValue;
}
bool cwDct::dMaster(std::int16_t ix) const {
    const Entry* e = entry(ix);
    return (e ? *e : entries_[0]).master;
}
void cwDct::setDMaster(std::int16_t ix, bool vNewValue) {
    if (Entry* e = entry(ix)) e->master = vNewValue;
}
bool cwDct::dStDat(std::int16_t ix) const { return !dMaster(ix); }
void cwDct::setDStDat(std::int16_t ix, bool vNewValue) { setDMaster(ix, !vNewValue); }

bool ReadDictionaryLines(const QString& fnam, QStringList& lines, QString* why) {
    lines.clear();
    // Only a regular file of sensible size: a pipe or a device named as the dictionary must not
    // hold the program up or fill its memory.
    const std::optional<QByteArray> read = ReadWholeFile(fnam, FileBound::Dictionary, why);
    if (!read) return false;
    const QByteArray& bytes = *read;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0) end = bytes.size();
        qsizetype stop = end;
        if (stop > start && bytes[stop - 1] == '\r' && end < bytes.size()) --stop;
        lines.append(DecodeCp1252(QByteArrayView(bytes).sliced(start, stop - start)));
        start = next;
    }
    return true;
}

namespace {

bool IsComment(const QString& line) { return line.startsWith(u'/'); }

}  // namespace

std::int16_t cwDct::setup(const QString& fnam, const QString& typ, std::int16_t lev) {
    // Cleared before the file is tried, so a failed read leaves an empty dictionary.
    last_ = 0;
    for (Entry& e : entries_) e = Entry{0, QString(), 0, true};

    QStringList lines;
    readError_.clear();
    if (!ReadDictionaryLines(fnam, lines, &readError_)) return 1;

    bool inside = false;
    bool found = false;
    try {
        for (const QString& line : lines) {
            if (IsComment(line)) continue;
            if (inside) {
                found = true;
                if (!line.startsWith(u'[')) {
                    // <field>,<alpha>,<length>:<description>
                    const std::int16_t fld = TextToInt16(line);
                    if (fld < 0 || fld > kHighestField) continue;
                    const qsizetype c1 = line.indexOf(u',');
                    if (c1 < 0) continue;
                    const qsizetype c2 = line.indexOf(u',', c1 + 1);
                    if (c2 < 0) continue;
                    const qsizetype colon = line.indexOf(u':', c2 + 1);
                    if (colon < 0) continue;
                    const std::int16_t alpha = TextToInt16(QStringView(line).sliced(c1 + 1));
                    const std::int16_t len = TextToInt16(QStringView(line).sliced(c2 + 1));
                    Entry& e = entries_[static_cast<std::size_t>(fld)];
                    e.alpha = alpha;
                    e.len = len;
                    e.desc = line.mid(colon + 1);
                    if (fld > last_) last_ = fld;
                    continue;
                }
                inside = false;  // a "[" line ends the section and is looked at as a header
            }
            if (!line.startsWith(u'[')) continue;
            const qsizetype close = line.indexOf(u']');
            if (close < 0) continue;
            const QString name = line.mid(1, close - 1).toUpper();
            if (name == u"END") break;
            if (name == typ && TextToInt16(QStringView(line).sliced(close + 1)) <= lev) inside = true;
        }
    } catch (const TagwellError&) {
        return 1;  // a number beyond 16 bits: the file counts as unreadable
    }
    return found ? 0 : 2;
}

std::int16_t cwDct::setupms(const QString& fnam, bool prisame) {
    for (std::int16_t f = 1; f <= kHighestField; ++f) entries_[static_cast<std::size_t>(f)].master = true;

    QStringList lines;
    readError_.clear();
    if (!ReadDictionaryLines(fnam, lines, &readError_)) return 1;

    bool inBlock = false;
    bool found = false;
    try {
        for (const QString& line : lines) {
            if (IsComment(line)) continue;
            if (!inBlock) {
                if (line.startsWith(u"%BEGIN%")) inBlock = true;
                continue;
            }
            found = true;
            if (line.startsWith(u"%END%")) break;
            // <field>,<code>: the code is the one character directly after the first comma.
            const std::int16_t fld = TextToInt16(line);
            const qsizetype comma = line.indexOf(u',');
            if (fld < 0 || fld > kHighestField || comma < 0) continue;
            const QChar code = comma + 1 < line.size() ? line[comma + 1] : QChar();
            Entry& e = entries_[static_cast<std::size_t>(fld)];
            e.master = code != u'S';
            if (code == u'P' && !prisame) e.master = false;
        }
    } catch (const TagwellError&) {
        return 1;
    }
    return found ? 0 : 2;
}

Outcome cwDct::rsetup(bool AskFirst, Dialogs& dlgCommon, SettingsStore& store, const QString& regApp,
                      const QString& regSec, const QString& regKey, const QString& typ, std::int16_t lev) {
    QString name = store.GetSetting(regApp, regSec, regKey, QString());
    bool ask = AskFirst || !FileExists(name);
    Outcome outcome;
    for (;;) {
        if (ask) {
            ShowOutcomeSoFar(outcome, dlgCommon);  // told before the dialog opens again
            FileDialogRequest request;
            request.fileName = name;
            request.dialogTitle = DictionaryDialog::kTitle;
            request.flags = DictionaryDialog::kFlags;
            request.filter = DictionaryDialog::kFilter;
            request.filterIndex = DictionaryDialog::kFilterIndex;
            const std::optional<QString> chosen = dlgCommon.ShowOpen(request);
            if (!chosen) return outcome.markFailed();
            name = *chosen;
            try {
                store.SaveSetting(regApp, regSec, regKey, name);
            } catch (const TagwellError& e) {
                // The name is not remembered, but the dictionary can still be read.
                outcome.addNotice(e.description());
            }
        }
        if (setup(name, typ, lev) == 0) {
            if (setupms(name, true) != 0)
                outcome.addNotice(DictionaryDialog::kMasterStoreWarning, MsgStyle::OKOnly | MsgStyle::Information);
            return outcome;
        }
        ShowOutcomeSoFar(outcome, dlgCommon);
        if (dlgCommon.MsgBox(DictionaryRetryPrompt(*this, name), MsgStyle::OKCancel | MsgStyle::Information, kAlert) !=
            MsgResult::OK)
            return outcome.markFailed();
        ask = true;
    }
}

QString DictionaryRetryPrompt(const cwDct& dct, const QString& fnam) {
    if (dct.readError().isEmpty() || fnam.isEmpty()) return DictionaryDialog::kRetryPrompt;
    return DictionaryDialog::kRetryPrompt + QStringLiteral("\r\n") + fnam + QStringLiteral(": ") + dct.readError();
}
