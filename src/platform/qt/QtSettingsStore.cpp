#include "platform/qt/QtSettingsStore.h"

#include "platform/FileAccess.h"
#include "platform/TagwellError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace {

struct IniLine {
    enum Kind { Other, Section, Key, Damaged };
    QByteArray raw;  // as in the file, without its line end
    QByteArray end;  // its line end as in the file (LF, CR LF or CR); empty for the last line
    Kind kind = Other;
    QString name;    // the section's name, or the key as spelled in the file
    QString value;   // a key's value, decoded
    const char* why = nullptr;  // a damaged line: what is wrong with it
};

struct IniFile {
    QList<IniLine> lines;
    bool damaged = false;
    QByteArray lineEnd = "\n";  // for lines the program adds: the file's first line end
};

int hexDigit(QChar c) {
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

// QSettings' escapes: \\ \" \n \r \t \a \b \f \v \0 and \x with up to four hex digits. Any other
// backslash stays as written, so a hand-written C:\labels reads as it stands.
QString unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar n = text[i + 1];
        QChar put;
        switch (n.unicode()) {
        case u'\\': put = u'\\'; break;
        case u'"': put = u'"'; break;
        case u'\'': put = u'\''; break;
        case u'n': put = u'\n'; break;
        case u'r': put = u'\r'; break;
        case u't': put = u'\t'; break;
        case u'a': put = u'\a'; break;
        case u'b': put = u'\b'; break;
        case u'f': put = u'\f'; break;
        case u'v': put = u'\v'; break;
        case u'0': put = QChar(0); break;
        case u'x': {
            int value = 0, digits = 0;
            while (digits < 4 && i + 2 + digits < text.size() && hexDigit(text[i + 2 + digits]) >= 0)
                value = value * 16 + hexDigit(text[i + 2 + digits++]);
            if (digits == 0) break;
            out += QChar(static_cast<char16_t>(value));
            i += 1 + digits;
            continue;
        }
        default: break;
        }
        if (put.isNull() && n != u'0') {
            out += c;  // not an escape: the backslash is text
            continue;
        }
        out += put;
        ++i;
    }
    return out;
}

QString decodeValue(QStringView raw) {
    const QStringView text = raw.trimmed();
    // "..." with nothing after the closing quote: a quoted value.
    if (text.size() >= 2 && text.front() == u'"') {
        qsizetype i = 1;
        while (i < text.size() && text[i] != u'"') i += text[i] == u'\\' ? 2 : 1;
        if (i == text.size() - 1) return unescape(text.sliced(1, text.size() - 2));
    }
    // Anything else is the whole text: ';' and ',' are part of a connection string or of the serial
    // settings, not a comment or a list.
    QString value = unescape(text);
    if (value.startsWith(QStringLiteral("@@"))) value.remove(0, 1);  // QSettings' escaped '@'
    return value;
}

// The value as written: plain when it reads back as it stands everywhere, QSettings included;
// otherwise in quotes with escapes.
QByteArray encodeValue(const QString& value) {
    bool plain = !value.startsWith(u'@') && value.trimmed() == value;
    for (const QChar c : value)
        if (c < u' ' || c == u'"' || c == u'\\' || c == u';' || c == u',' || c == u'=' || c == u'#') plain = false;
    if (plain) return value.toUtf8();
    QString out = QStringLiteral("\"");
    for (const QChar c : value) {
        if (c == u'\\' || c == u'"') out += u'\\', out += c;
        else if (c == u'\n') out += QStringLiteral("\\n");
        else if (c == u'\r') out += QStringLiteral("\\r");
        else if (c == u'\t') out += QStringLiteral("\\t");
        else if (c < u' ') out += QStringLiteral("\\x%1").arg(c.unicode(), 4, 16, QChar(u'0'));
        else out += c;
    }
    out += u'"';
    return out.toUtf8();
}

// One line of the file, split at LF, CR LF or a lone CR: a file saved by an editor of any platform
// reads the same.
IniLine nextLine(const QByteArray& bytes, qsizetype& start) {
    IniLine line;
    qsizetype end = start;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    line.raw = bytes.mid(start, end - start);
    qsizetype endLength = 0;
    if (end < bytes.size()) endLength = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
    line.end = bytes.mid(end, endLength);
    start = end + endLength;
    return line;
}

IniFile parse(const QByteArray& bytes) {
    IniFile file;
    bool endSeen = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        IniLine line = nextLine(bytes, start);
        if (!endSeen && !line.end.isEmpty()) file.lineEnd = line.end, endSeen = true;

        // A line another tool wrote in a single-byte code page (a path with an accented letter) is
        // not UTF-8: it reads as Latin-1 and stays in the file byte for byte until its key is saved.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(line.raw);
        if (utf8.hasError()) text = QString::fromLatin1(line.raw);
        const QString trimmed = text.trimmed();
        if (line.raw.contains('\0')) {
            line.kind = IniLine::Damaged;
            line.why = "holds NUL bytes";
        } else if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#')) {
            line.kind = IniLine::Other;
        } else if (trimmed.startsWith(u'[')) {
            // Whatever follows the closing bracket (a comment, a note) is not part of the name.
            const qsizetype close = trimmed.indexOf(u']');
            const QString name = close < 0 ? QString() : trimmed.sliced(1, close - 1).trimmed();
            if (!name.isEmpty()) {
                line.kind = IniLine::Section;
                line.name = name;
            } else {
                line.kind = IniLine::Damaged;
                line.why = close < 0 ? "opens a section without closing it" : "names no section";
            }
        } else if (const qsizetype eq = text.indexOf(u'='); eq > 0 && !text.first(eq).trimmed().isEmpty()) {
            line.kind = IniLine::Key;
            line.name = text.first(eq).trimmed();
            line.value = decodeValue(QStringView(text).sliced(eq + 1));
        } else {
            line.kind = IniLine::Damaged;
            line.why = "is neither a [section], a key=value line nor a comment";
        }
        if (line.kind == IniLine::Damaged) file.damaged = true;
        file.lines.append(std::move(line));
    }
    return file;
}

// The line of `key` in `section` (both without regard to case), or -1. `sectionEnd` receives the
// index after the section's last key line, -1 when the section is absent.
qsizetype findKey(const IniFile& file, const QString& section, const QString& key, qsizetype* sectionEnd = nullptr) {
    bool inSection = false;
    if (sectionEnd) *sectionEnd = -1;
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        const IniLine& line = file.lines[i];
        if (line.kind == IniLine::Section) {
            inSection = line.name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection && sectionEnd && *sectionEnd < 0) *sectionEnd = i + 1;
        } else if (inSection && line.kind == IniLine::Key) {
            if (sectionEnd) *sectionEnd = i + 1;
            if (line.name.compare(key, Qt::CaseInsensitive) == 0) return i;
        }
    }
    return -1;
}

QString cannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("Can not write the settings file %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

}  // namespace

QString QtSettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/BRONTA/BRONTA.ini");
}

QtSettingsStore::QtSettingsStore(const QString& iniPath) : path_(iniPath.isEmpty() ? defaultPath() : iniPath) {}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::GetSetting(const QString& app, const QString& section, const QString& key, const QString& def) {
    Q_UNUSED(app);  // one file per application
    // A store that cannot be read gives the defaults, as an absent key does.
    const std::optional<QByteArray> bytes = ReadWholeFile(path_, FileBound::Settings);
    if (!bytes) return def;
    const IniFile file = parse(*bytes);
    const qsizetype i = findKey(file, section, key);
    return i < 0 ? def : file.lines[i].value;
}

void QtSettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) {
    Q_UNUSED(app);
    QString reason;
    IniFile file;
    QByteArray original;
    if (!NothingStored()) {
        const std::optional<QByteArray> bytes = ReadWholeFile(path_, FileBound::Settings, &reason);
        // A file that is there but cannot be read is not replaced: its keys would be lost.
        if (!bytes) throw TagwellError(ErrorNumber::PathFileAccess, cannotWrite(path_, reason));
        original = *bytes;
        file = parse(original);
    }

    qsizetype sectionEnd = -1;
    const qsizetype at = findKey(file, section, key, &sectionEnd);
    if (at >= 0 && file.lines[at].value == value && !file.damaged) {
        // Nothing to change: the line stays in the form it was written in.
        if (QFile::permissions(path_) != kOwnerOnly) QFile::setPermissions(path_, kOwnerOnly);
        return;
    }
    // Under the spelling already stored, so "SierraoffLr3" and "SierraOffLr3" stay one key.
    IniLine line;
    line.kind = IniLine::Key;
    line.name = at >= 0 ? file.lines[at].name : key;
    line.value = value;
    line.raw = line.name.toUtf8() + '=' + encodeValue(value);
    if (at >= 0) {
        line.end = file.lines[at].end;
        file.lines[at] = line;
    } else if (sectionEnd >= 0) {
        file.lines.insert(sectionEnd, line);
    } else {
        if (!file.lines.isEmpty() && !file.lines.last().raw.trimmed().isEmpty()) file.lines.append(IniLine{});
        IniLine header;
        header.kind = IniLine::Section;
        header.name = section;
        header.raw = '[' + section.toUtf8() + ']';
        file.lines.append(header);
        file.lines.append(line);
    }

    QDir().mkpath(QFileInfo(path_).absolutePath());
    if (file.damaged) {
        // The file as it was, damage and all, for whoever wants to see what was lost; the new file
        // keeps every line that could be read.
        reason = WriteWholeFile(path_ + QStringLiteral(".damaged"), original, FileMode::OwnerOnly);
        if (!reason.isEmpty()) throw TagwellError(ErrorNumber::PathFileAccess, cannotWrite(path_ + QStringLiteral(".damaged"), reason));
    }
    QByteArray bytes;
    for (const IniLine& l : std::as_const(file.lines)) {
        if (l.kind == IniLine::Damaged) continue;
        bytes += l.raw;
        bytes += l.end.isEmpty() ? file.lineEnd : l.end;
    }
    reason = WriteWholeFile(path_, bytes, FileMode::OwnerOnly);
    if (!reason.isEmpty()) throw TagwellError(ErrorNumber::PathFileAccess, cannotWrite(path_, reason));
}

bool QtSettingsStore::NothingStored() {
    const QFileInfo info(path_);
    return !info.exists() && !info.isSymLink();
}

SettingsProblem QtSettingsStore::Problem() {
    if (NothingStored()) return {};
    const QString name = QDir::toNativeSeparators(path_);
    QString reason;
    const std::optional<QByteArray> bytes = ReadWholeFile(path_, FileBound::Settings, &reason);
    if (!bytes)
        return {SettingsProblem::Unreadable, QStringLiteral("The settings file %1 cannot be read: %2").arg(name, reason)};
    const IniFile file = parse(*bytes);
    QStringList told;
    int damaged = 0;
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        if (file.lines[i].kind != IniLine::Damaged) continue;
        if (++damaged <= 3) told << QStringLiteral("line %1 %2").arg(i + 1).arg(QLatin1String(file.lines[i].why));
    }
    if (damaged == 0) return {};
    if (const qsizetype more = damaged - told.size(); more > 0)
        told << (more == 1 ? QStringLiteral("1 more line") : QStringLiteral("%1 more lines").arg(more));
    return {SettingsProblem::DamagedLines,
            QStringLiteral("The settings file %1 cannot be read whole: %2.").arg(name, told.join(QStringLiteral("; ")))};
}
