#include "datafiles/cwDatFile.h"

#include "shell/common/Cp1252.h"
#include "datafiles/cwDct.h"
#include "platform/FileAccess.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {

const QString kFopenTitle = QStringLiteral("Fopen:");

}  // namespace

std::int16_t cwDatFile::fopen(const QString& Fname, cwDct& Dict, const QString& /*flds*/, std::int16_t mode,
                              std::int16_t /*typ*/) {
    dict_ = &Dict;
    lineNo_ = 0;
    firstRecordPos_ = 0;
    nextPos_ = 1;
    if (file_.isOpen()) file_.close();
    fileName_ = Fname;
    fopenOutcome_ = Outcome::done();
    openError_.clear();
    cutLine_ = 0;
    cutByte_ = 0;

    if (mode == 1) QFile::remove(Fname);
    file_.setFileName(Fname);
    // Read: a regular file only (a pipe without a writer would wait for ever).
    const bool opened = mode == 0 ? OpenForReading(file_, Fname, FileBound::DataFile, &openError_)
                                  : !Fname.isEmpty() && !QFileInfo(Fname).isDir() && file_.open(QIODevice::ReadWrite);
    if (!opened) {
        if (openError_.isEmpty()) openError_ = file_.errorString();
        fopenOutcome_.addFailure(QStringLiteral("Can not open data file: ") + Fname,
                                 MsgStyle::OKOnly | MsgStyle::Exclamation, kFopenTitle);
        return 1;
    }
    dataEnd_ = file_.size();

    fieldList_.clear();
    fields_.clear();
    layout_ = 1;
    if (!readLine(0)) {
        fopenOutcome_.addFailure(QStringLiteral("Data file is empty: ") + Fname,
                                 MsgStyle::OKOnly | MsgStyle::Exclamation, kFopenTitle);
        return 2;
    }
    if (!parseHeader()) {
        fopenOutcome_.addFailure(QStringLiteral("Invalid Header: ") + Fname,
                                 MsgStyle::OKOnly | MsgStyle::Exclamation, kFopenTitle);
        return 3;
    }
    return 0;
}

bool cwDatFile::parseHeader() {
    const QString& header = lineBuf_;
    bool sawComma = false, sawTab = false, inNumber = false, columnEnd = false, valid = true;
    QString digits;
    const qsizetype n = header.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = header[i];
        if (c == u'\t') {
            sawTab = true;
            columnEnd = true;
        } else if (c == u',') {
            sawComma = true;
            columnEnd = true;
        } else if (c == u' ') {
            if (inNumber) columnEnd = true;
        } else if (c >= u'0' && c <= u'9') {
            digits += c;
            inNumber = true;
        } else {
            valid = false;
            break;
        }
        if (columnEnd || i == n - 1) {
            // Columns are 16-bit field numbers: a header naming a larger one, or more columns than a
            // 16-bit count holds, is refused like any other invalid header.
            if (fields_.size() >= 32767) {
                valid = false;
                break;
            }
            std::int16_t number = 0;
            try {
                number = digits.isEmpty() ? 0 : TextToInt16(digits);
            } catch (const TagwellError&) {
                valid = false;
                break;
            }
            if (!fields_.empty()) fieldList_ += u',';
            fieldList_ += NumberToText(number);
            fields_.push_back(number);
            digits.clear();
            inNumber = false;
            columnEnd = false;
        }
    }
    if (sawComma && sawTab) valid = false;
    layout_ = sawComma ? 0 : (sawTab ? 2 : 1);
    return valid;
}

bool cwDatFile::readLine(std::int16_t start) {
    lineBuf_.clear();
    if (start == 0) {
        nextPos_ = 1;
        lineNo_ = -1;
    } else if (start > 0) {
        nextPos_ = firstRecordPos_;
        lineNo_ = 0;
    }
    if (nextPos_ < 1) return false;

    // The line runs to the next LF, or to the end of the data (the file's end or a NUL byte); the CR
    // of a CR LF is not text. The file's own buffer reads ahead in blocks, so going on from the
    // line before seeks nowhere; going back to the first record seeks straight past the header.
    // Taking lines from that buffer keeps reading 32,766 records at 25 ms of CPU instead of 84 ms
    // with a read of 100 bytes at each position (bench datafiles_read).
    const qint64 pos = nextPos_ - 1;
    QByteArray bytes;
    if (pos < dataEnd_ && (file_.pos() == pos || file_.seek(pos))) {
        bytes = file_.readLine();
        // A read that fails ends the data here, as the end of the file would.
        if (bytes.isEmpty()) dataEnd_ = pos;
        if (bytes.size() > dataEnd_ - pos) bytes.truncate(dataEnd_ - pos);
        const qsizetype nul = bytes.indexOf('\0');
        if (nul >= 0) {
            // A NUL ends the data like the end of the file: what follows it is never read. Unless
            // it is only padding, the data was cut there and whoever reads the file must know.
            bytes.truncate(nul);
            dataEnd_ = pos + nul;
            if (cutByte_ == 0 && dataFollows(dataEnd_ + 1)) {
                cutLine_ = lineNo_ + 2;
                cutByte_ = dataEnd_ + 1;
            }
        }
    }
    const bool endedWithLf = bytes.endsWith('\n');
    const qint64 consumed = bytes.size();
    if (endedWithLf) {
        bytes.chop(1);
        if (bytes.endsWith('\r')) bytes.chop(1);
    }
    const bool read = endedWithLf || !bytes.isEmpty();
    if (read) {
        ++lineNo_;
        nextPos_ = pos + consumed + 1;
    } else {
        nextPos_ = 0;
        lineNo_ = 0;
    }
    if (start == 0) firstRecordPos_ = nextPos_;
    lineBuf_ = DecodeCp1252(bytes);
    return read;
}

bool cwDatFile::dataFollows(qint64 from) {
    QByteArray block;
    for (qint64 at = from; file_.seek(at); at += block.size()) {
        block = file_.read(64 * 1024);
        if (block.isEmpty()) return false;
        if (std::any_of(block.cbegin(), block.cend(), [](char b) { return b != '\0'; })) return true;
    }
    return false;
}

QString cwDatFile::dataCutMessage() const {
    if (cutByte_ == 0) return {};
    return QStringLiteral("The data of %1 ends at a NUL byte in line %2 (byte %3), but more data follows it: the "
                          "rest of the file was not read.")
        .arg(fileName_)
        .arg(cutLine_)
        .arg(cutByte_);
}

bool cwDatFile::gr(std::int32_t iline) {
    if (!file_.isOpen()) return false;
    if (iline < 1) return readLine(-1);
    // Going back starts again at the first record; so does any numbered read once the end was
    // reached, so a record can be reached again after the file has been read through.
    if (iline < lineNo_ || nextPos_ < 1) {
        if (!readLine(1)) return false;
    }
    while (iline > lineNo_) {
        if (!readLine(-1)) break;
    }
    return lineNo_ == iline;
}

std::int16_t cwDatFile::gf(std::int16_t ifld, QString& ibuf) const {
    const auto col = std::find(fields_.begin(), fields_.end(), ifld);
    if (col == fields_.end()) {
        ibuf.clear();
        return -1;
    }
    const bool commaLayout = layout_ == 0;
    const QChar sep = layout_ == 2 ? u'\t' : u',';
    static const QString kQuoteComma = QStringLiteral("\",");

    QStringView rest(lineBuf_);
    QStringView value;
    bool present = true;
    for (auto it = fields_.begin(); it != col; ++it) {
        qsizetype next = -1;
        if (commaLayout && rest.startsWith(u'"')) {
            const qsizetype q = rest.indexOf(kQuoteComma, 1);
            if (q >= 0) next = q + 2;
        } else {
            const qsizetype s = rest.indexOf(sep);
            if (s >= 0) next = s + 1;
        }
        if (next < 0) {
            present = false;  // a short record: the wanted column is not in it
            break;
        }
        rest = rest.sliced(next);
    }
    if (present) {
        if (commaLayout && rest.startsWith(u'"')) {
            const qsizetype q = rest.indexOf(kQuoteComma, 1);
            value = q < 0 ? rest : rest.first(q + 1);
        } else {
            const qsizetype s = rest.indexOf(sep);
            value = s < 0 ? rest : rest.first(s);
        }
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) value = value.sliced(1, value.size() - 2);
        // A negative dictionary length is no cut at all: the read fails, and the caller learns
        // of it instead of every record being skipped in silence.
        const qsizetype len = dict_ ? dict_->dLen(ifld) : 0;
        if (len < 0)
            throw TagwellError(ErrorNumber::InvalidProcedureCall,
                               QStringLiteral("Invalid procedure call or argument: the dictionary gives field %1 "
                                              "the length %2.")
                                   .arg(ifld)
                                   .arg(len));
        value = value.first(std::min(len, value.size()));
        while (!value.isEmpty() && value.back() == u' ') value.chop(1);
    }

    ibuf = value.toString();
    const std::int16_t result = IsBlank(ibuf) ? 1 : 0;
    for (QChar& c : ibuf) {
        if (c == QChar(1)) c = u'\'';
        else if (c == QChar(2)) c = u'"';
    }
    return result;
}

void cwDatFile::fclose() {
    if (file_.isOpen()) file_.close();
}

std::int16_t cwDatFile::GetFieldList(std::vector<std::int16_t>& arr) const {
    if (arr.size() < fields_.size() + 1) arr.resize(fields_.size() + 1);
    std::copy(fields_.begin(), fields_.end(), arr.begin());
    arr[fields_.size()] = -1;
    return static_cast<std::int16_t>(fields_.size());
}
