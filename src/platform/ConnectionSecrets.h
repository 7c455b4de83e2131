#pragma once
// Passwords in ODBC connection strings are never shown. Every password keyword the drivers read
// (PWD, Password, Passwd, in any case, with blanks around the "=") has its value replaced by a
// mask wherever a connection string could be shown: message boxes and their titles, the input box
// that edits the string, the command line's messages and print job names. The mask never tells
// the length of the password. An empty password ("PWD=") is left as it is: there is nothing to hide.
#include <QString>

inline const QString kSecretMask = QStringLiteral("********");

// `text` (a connection string, or a message quoting one) with every password value masked.
QString MaskSecrets(const QString& text);

// A connection string edited from its masked form: every password value still equal to the mask
// takes the value `stored` has under the same keyword, so that an answer whose masked part is
// unchanged keeps the stored password.
QString KeepMaskedSecrets(const QString& answer, const QString& stored);
