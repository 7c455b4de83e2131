#pragma once
// The data file reader. A data file's first line (the header) lists by field number which field
// stands in each column; every further line is a record. Two layouts are served, told apart by the
// header: quote-and-comma files (.dat) and tab-delimited files (.txt). Values are cut to their
// field's length in the data dictionary. Bytes are Windows-1252 text, one character per byte.
//
//   cwDatFile datFile;
//   if (datFile.fopen(path, dctInv, "", 0, 0) == 0)
//       while (datFile.gr()) { QString sku; if (datFile.gf(1, sku) == 0) ... }
//   datFile.fclose();
#include <QByteArray>
#include <QFile>
#include <QString>

#include "shell/common/Outcome.h"
#include <cstdint>
#include <vector>

class cwDct;

class cwDatFile {
public:
    cwDatFile() = default;
    cwDatFile(const cwDatFile&) = delete;
    cwDatFile& operator=(const cwDatFile&) = delete;

    // Opens `Fname` and reads its header. `flds` and `typ` are accepted and ignored: the layout always
    // comes from the header. `mode` 0 opens for reading only; any other value for reading and writing
    // (creating the file), 1 deleting an existing file first. Results: 0 opened, header valid;
    // 1 cannot open ("Can not open data file: "); 2 empty ("Data file is empty: "); 3 invalid header
    // ("Invalid Header: "). Each failure has its message under "Fopen:" in fopenOutcome. The file
    // stays open except after 1; the caller closes it with fclose.
    std::int16_t fopen(const QString& Fname, cwDct& Dict, const QString& flds = QString(), std::int16_t mode = 0,
                       std::int16_t typ = 0);

    // Below 1: the next record. 1 or more: makes record `iline` current, going back to the first
    // record when needed. True when that record was read.
    bool gr(std::int32_t iline = 0);

    // The value of field `ifld` in the current record, in `ibuf`: 0 present; 1 in the file but blank
    // (also past the end of a short record); -1 not in the header (`ibuf` becomes "").
    std::int16_t gf(std::int16_t ifld, QString& ibuf) const;

    void fclose();

    // What the last fopen has to tell: done, or failed with the reader's own "Fopen:" message.
    const Outcome& fopenOutcome() const { return fopenOutcome_; }
    // Why the last fopen could not open its file (the system's reason, told by the caller after the
    // reader's own message), "" when it could.
    const QString& openError() const { return openError_; }

    // The header's field numbers in column order, each written with a space before it when
    // non-negative and separated by commas: " 1, 10, 11".
    const QString& FieldList() const { return fieldList_; }
    // The line read last: the header after fopen, the current record after gr.
    const QString& LineBuf() const { return lineBuf_; }
    // Writes the header's field numbers into arr[0..count-1] and -1 into arr[count], growing `arr`
    // when it is too small; returns the count.
    std::int16_t GetFieldList(std::vector<std::int16_t>& arr) const;

    // 0 comma layout, 2 tab layout, 1 neither (the header had no comma and no tab).
    std::int16_t layout() const { return layout_; }
    std::int16_t fieldCount() const { return static_cast<std::int16_t>(fields_.size()); }
    // 0 after the header, n after the n-th record, 0 again once the end has been reached.
    std::int32_t lineNumber() const { return lineNo_; }

    // A NUL byte ends the data like the end of the file, and NUL bytes padding a file's end are
    // normal. When anything else follows the NUL, the data was cut short there: once reading has
    // reached that NUL, this tells where it is ("" while nothing was cut).
    QString dataCutMessage() const;

private:
    bool readLine(std::int16_t start);
    bool dataFollows(qint64 from);
    bool parseHeader();

    Outcome fopenOutcome_;
    QString openError_;
    const cwDct* dict_ = nullptr;
    QFile file_;
    QString fileName_;

    QString fieldList_;
    std::vector<std::int16_t> fields_;
    std::int16_t layout_ = 1;
    std::int32_t lineNo_ = 0;
    qint64 firstRecordPos_ = 0;  // 1-based byte position just after the header line
    qint64 nextPos_ = 1;         // 1-based position of the next line; 0 once the end was reached
    QString lineBuf_;

    // Bytes at or past this offset (the file's end, or the first NUL met) read as the end of the data.
    qint64 dataEnd_ = 0;
    // The file's line (the header is line 1) and byte (from 1) of a NUL that more data follows; 0 none.
    std::int32_t cutLine_ = 0;
    qint64 cutByte_ = 0;
};
