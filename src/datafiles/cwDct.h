#pragma once
// The data dictionary: what each field number of the store's data files means. One entry per field
// number 0..199 with its alpha value, description, length in characters and whether it is master
// information (the same in every store) or store-specific. Read from a dictionary file (.dct) by
// `setup` (field definitions of the named sections) and `setupms` (the master/store block).
#include "shell/common/Outcome.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

class Dialogs;
class SettingsStore;

class cwDct {
public:
    static constexpr std::int16_t kHighestField = 199;

    cwDct();

    // Indexed properties. A field number is first reduced modulo 1000 (remainder with the sign of the
    // dividend: 1021 addresses 21, -3 stays -3); a number then outside 0..199 reads entry 0 and
    // writes nothing.
    std::int16_t dAlpha(std::int16_t ix) const;
    void setDAlpha(std::int16_t ix, std::int16_t vNewValue);
    QString dDesc(std::int16_t ix) const;
    void setDDesc(std::int16_t ix, const QString& vNewValue);
    std::int16_t dLen(std::int16_t ix) const;
    void setDLen(std::int16_t ix, std::int16_t vNewValue);
    bool dMaster(std::int16_t ix) const;
    void setDMaster(std::int16_t ix, bool vNewValue);
    // Store-specific data: always the negation of dMaster.
    bool dStDat(std::int16_t ix) const;
    void setDStDat(std::int16_t ix, bool vNewValue);
    // The highest field number the last setup defined.
    std::int16_t dLast() const { return last_; }
    // Why the last setup or setupms could not read its file (the system's reason); "" when it could.
    const QString& readError() const { return readError_; }

    // Reads the definitions of the sections named `typ` (upper case) whose level is at most `lev`.
    // Every entry is cleared first, so a failed read leaves an empty dictionary.
    // 0 read and at least one line stood inside a selected section; 1 the file could not be opened
    // or read, or a number in it does not fit 16 bits; 2 no line stood inside a selected section.
    std::int16_t setup(const QString& fnam, const QString& typ, std::int16_t lev);

    // Reads the first master/store block. Fields 1..199 are made master first; "S" marks a field
    // store-specific, "P" a price field (store-specific unless `prisame`, prices the same in all
    // stores). 0 a block was found; 1 the file could not be opened or read; 2 no "%BEGIN%" block.
    std::int16_t setupms(const QString& fnam, bool prisame);

    // Self-contained set-up for clients that keep the dictionary's name under a settings key of
    // their own: asks for a file when the remembered one is missing (or always with AskFirst),
    // retries on request. Not failed when a dictionary was read (a master/store warning is a
    // notice), failed when the user gave up. What it has to tell before a question is shown first.
    Outcome rsetup(bool AskFirst, Dialogs& dlgCommon, SettingsStore& store, const QString& regApp,
                const QString& regSec, const QString& regKey, const QString& typ, std::int16_t lev);

private:
    struct Entry {
        std::int16_t alpha = 0;
        QString desc;
        std::int16_t len = 0;
        bool master = false;
    };
    // The entry a field number addresses, or nullptr when it is out of range.
    const Entry* entry(std::int16_t ix) const;
    Entry* entry(std::int16_t ix);

    std::array<Entry, kHighestField + 1> entries_;
    std::int16_t last_ = 0;
    QString readError_;
};

// The dictionary file's lines, CR LF (or a bare LF) removed; false (the reason in `why`) when it
// cannot be opened or read.
bool ReadDictionaryLines(const QString& fnam, QStringList& lines, QString* why = nullptr);

// The message that asks for another dictionary, with the reason the last one could not be read.
QString DictionaryRetryPrompt(const cwDct& dct, const QString& fnam);

// What the open-file dialog for a dictionary is shown with (also used by the main window's
// "Dictionary File" command).
namespace DictionaryDialog {
inline const QString kTitle = QStringLiteral("Open the Dictionary File");
constexpr int kFlags = 20484;  // hide the read-only box, the file must exist, share-aware
inline const QString kFilter = QStringLiteral("All Files (*.*)|*.*|Dictionary Files (*.dct)|*.dct");
constexpr int kFilterIndex = 2;
inline const QString kRetryPrompt =
    QStringLiteral("Can not read dictionary file.  Select OK to try another name.");
inline const QString kMasterStoreWarning = QStringLiteral(
    "Warning: could not read master/store specific info from data dictionary.  Will treat all info as master.");
}  // namespace DictionaryDialog
