#pragma once
// The per-user settings store: one text value per (application, section, key), keys compared
// without regard to letter case in both directions.
#include <QString>

// What keeps the stored settings from being read whole.
struct SettingsProblem {
    enum Kind {
        None,          // every stored key can be read (or nothing is stored yet)
        Unreadable,    // the store is there but cannot be read at all: no key is read from it
        DamagedLines,  // some lines cannot be read; the keys of the others are
    };
    Kind kind = None;
    QString text;  // for the user: which store, which lines, the reason
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `def` when the key is absent.
    virtual QString GetSetting(const QString& app, const QString& section, const QString& key,
                               const QString& def) = 0;
    // Creates or replaces the value. A store that cannot be written throws a TagwellError.
    virtual void SaveSetting(const QString& app, const QString& section, const QString& key,
                             const QString& value) = 0;
    // True when nothing was ever stored for this user (no settings file at all): the first start.
    // A store that is there but cannot be read is not empty.
    virtual bool NothingStored() = 0;
    // What stands in the way of reading the store whole, looked at now.
    virtual SettingsProblem Problem() = 0;
};

// Application and section of every key Tagwell keeps.
inline const QString kRegApp = QStringLiteral("BRONTA");
inline const QString kRegSec = QStringLiteral("TAGWELL");
