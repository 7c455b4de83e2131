#pragma once
// The per-user settings store: one text value per (application, section, key), keys compared
// without regard to letter case in both directions.
#include <QString>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `def` when the key is absent.
    virtual QString GetSetting(const QString& app, const QString& section, const QString& key,
                               const QString& def) = 0;
    // Creates or replaces the value. A store that cannot be written throws a TagwellError.
    virtual void SaveSetting(const QString& app, const QString& section, const QString& key,
                             const QString& value) = 0;
};

// Application and section of every key Tagwell keeps.
inline const QString kRegApp = QStringLiteral("BRONTA");
inline const QString kRegSec = QStringLiteral("TAGWELL");
