#pragma once
// The settings store as one INI file in the user's configuration folder:
// <config>/BRONTA/BRONTA.ini, one [TAGWELL] section, in the form QSettings reads and writes.
//
// The file is edited line by line rather than regenerated: a save replaces the one line of its key
// (or adds it) and leaves every other line as it was, so a key the program did not change keeps
// the form it was written in, and keys, sections and comments the program does not know stay.
// Lines end in LF, CR LF or a lone CR, and each keeps its own end. A section line may carry a
// comment after its "]". A value is the whole text after "=", ';' and ',' included; a value in
// double quotes is read with QSettings' backslash escapes. A line that is not UTF-8 (written by a
// tool in a single-byte code page) reads as Latin-1 and is kept byte for byte. A line that cannot
// be read (no key, no section name, NUL bytes) is damage: at the next save the file as it was is
// kept beside as "<name>.damaged" and the damaged lines are left out, every readable line kept. The file holds connection strings
// with passwords, so it and its ".damaged" copy are readable by their owner only, from the moment
// they exist, and they are replaced whole (written beside and renamed), never left half-written.
#include "platform/SettingsStore.h"

#include <QString>

class QtSettingsStore : public SettingsStore {
public:
    // `iniPath` empty: the standard place in the user's configuration folder.
    explicit QtSettingsStore(const QString& iniPath = {});
    ~QtSettingsStore() override;

    QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& def) override;
    void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) override;
    // Nothing at the file's name (not even a dangling link).
    bool NothingStored() override;
    SettingsProblem Problem() override;

    QString fileName() const { return path_; }
    static QString defaultPath();

private:
    QString path_;
};
