#pragma once
// The seventeen program options, named like their settings keys. Read once at start-up, edited by
// the options dialog, written back at shut-down as far as they changed.
#include <QString>
#include <cstdint>

class SettingsStore;

struct ProgramOptions {
    std::int16_t SierraPrint = 4;        // 0 Sierra Sport, 1 Dymo, 3 laser 3-up, 4 laser 4-up
    std::int16_t SierraInstant = 0;      // print each row as ENTER stores it
    std::int16_t SierraShowDetail = 1;   // show all columns and entry boxes
    std::int16_t SierraSingleSheet = 0;  // limit the grid to one sheet (not for the Sierra Sport)
    std::int16_t SierraConvertUpc = 1;   // look entered codes up as UPCs first
    std::int16_t SierraPort = 1;         // serial port number of the Sierra Sport
    QString SierraFormat;                // .fab
    QString SierraFormat1;               // .fa1 (Dymo)
    QString SierraFormat3;               // .fa3
    QString SierraOffLr3 = QStringLiteral("110");
    QString SierraOffUd3 = QStringLiteral("-200");
    QString SierraOffLr4 = QStringLiteral("0");
    QString SierraOffUd4 = QStringLiteral("-100");
    QString SierraFormat4;               // .fa4
    QString SierraFont;                  // .pcl
    QString SierraSettings = QStringLiteral("9600,n,8,1");
    QString SierraDymoDeviceName = QStringLiteral("None");

    // Reads the seventeen keys in their order with their defaults. The six integers take the
    // leading number of the stored text, rounded half to even; a value beyond 16 bits falls back
    // to the key's default, so start-up always completes.
    void load(SettingsStore& store);
    // The shut-down's write of the seventeen keys (the offsets under their lower-case-o names).
    // Another window or program may have saved since `asLoaded` was read, so only the options that
    // differ from `asLoaded` are written, and those whose key is missing from the store as it is
    // now; an option this window did not change leaves the stored value alone.
    void saveChanges(SettingsStore& store, const ProgramOptions& asLoaded) const;
};
