#pragma once
// What every fuzz target shares: dialogs that answer OK and show nothing, and a scratch file the
// code under test can open by name.
#include "grid/LabelGrid.h"
#include "platform/Dialogs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

class SilentDialogs : public Dialogs {
public:
    int MsgBox(const QString&, int, const QString&) override {
        ++messages;
        return MsgResult::OK;
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> ShowOpen(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> ShowSave(const FileDialogRequest&) override { return std::nullopt; }
    int messages = 0;
};

// One file per target and process, rewritten for every input. The parsers read files by name,
// so the input has to be on disk.
class ScratchFile {
public:
    explicit ScratchFile(const char* suffix)
        : file_(QDir::tempPath() + QStringLiteral("/tagwell-fuzz-XXXXXX") + QString::fromLatin1(suffix)) {
        if (!file_.open()) std::abort();
    }
    const QString& write(const QByteArray& bytes) {
        if (!file_.resize(0) || !file_.seek(0) || file_.write(bytes) != bytes.size() || !file_.flush()) std::abort();
        path_ = file_.fileName();
        return path_;
    }

private:
    QTemporaryFile file_;
    QString path_;
};

// The input split at its last NUL byte: the file's bytes before it, a row of cell texts after it
// (cells separated by tabs, read as UTF-8 so that any character can reach the code). Without a NUL
// the whole input is the file and the row is empty.
struct FileAndRow {
    QByteArray file;
    QStringList cells;
};

// A grid whose row 1 holds `cells` from the sku column on (missing ones empty).
inline void FillRowOne(LabelGrid& grid, const QStringList& cells) {
    grid.setCols(9);
    grid.setRows(2);
    for (int col = GridCol::Sku; col <= GridCol::Upc; ++col)
        grid.setTextMatrix(1, col, col - 1 < cells.size() ? cells[col - 1] : QString());
}

inline FileAndRow SplitFileAndRow(const std::uint8_t* data, std::size_t size) {
    const QByteArray all(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nul = all.lastIndexOf('\0');
    if (nul < 0) return {all, {}};
    return {all.left(nul), QString::fromUtf8(all.mid(nul + 1)).split(u'\t')};
}

// Checks that stay on in every build: a broken invariant is a finding.
#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)
