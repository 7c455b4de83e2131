#pragma once
// Golden cases kept as data: every folder under tests/data/<area>/ is one case holding its input
// files and the exact outputs expected of it. A runner walks the folders of its area, runs each
// case and compares what it produced with the expected files. With TAGWELL_REGENERATE=1 the
// expected files are written from what the code produced instead, so that an intended change shows
// up as a diff of the data.
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <cctype>
#include <string>
#include <vector>

namespace golden {

inline QString AreaDir(const QString& area) { return QStringLiteral(TAGWELL_TEST_DATA "/") + area; }

// The case folders of `area`, by name, for INSTANTIATE_TEST_SUITE_P(..., ValuesIn(Cases("area"))).
inline std::vector<std::string> Cases(const QString& area) {
    std::vector<std::string> names;
    for (const QString& name : QDir(AreaDir(area)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        names.push_back(name.toStdString());
    return names;
}

// Case folder names with characters gtest does not take in a test name replaced.
inline std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

inline bool Regenerating() { return qEnvironmentVariableIsSet("TAGWELL_REGENERATE"); }

class Case {
public:
    Case(const QString& area, const std::string& name)
        : dir_(AreaDir(area) + u'/' + QString::fromStdString(name)) {}

    const QString& dir() const { return dir_; }
    QString path(const QString& file) const { return dir_ + u'/' + file; }
    bool has(const QString& file) const { return QFile::exists(path(file)); }

    // An input file of the case; a missing one fails the test and reads as empty.
    QByteArray read(const QString& file) const {
        QFile f(path(file));
        if (!f.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "case file " << path(file).toStdString() << " cannot be read";
            return {};
        }
        return f.readAll();
    }
    // One item a line (a command line's arguments, a list of keys); `%CASE%` stands for the
    // case folder, so a case names its own input files.
    QStringList lines(const QString& file) const {
        QStringList out;
        for (const QString& line : QString::fromUtf8(read(file)).split(u'\n')) {
            if (!line.isEmpty()) out << QString(line).replace(QStringLiteral("%CASE%"), dir_);
        }
        return out;
    }

    // Compares `actual` with the expected file `file`, or writes it when regenerating. A case with
    // no such expected file fails, so a case cannot pass by leaving its answer out.
    void expect(const QString& file, const QByteArray& actual) const {
        if (Regenerating()) {
            QFile f(path(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path(file).toStdString();
            f.write(actual);
            return;
        }
        QFile f(path(file));
        if (!f.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "expected file " << path(file).toStdString()
                          << " is missing (TAGWELL_REGENERATE=1 writes it)";
            return;
        }
        const QByteArray expected = f.readAll();
        EXPECT_EQ(actual.toStdString(), expected.toStdString()) << "in " << path(file).toStdString();
    }

private:
    QString dir_;
};

}  // namespace golden

// The fixture `Suite`, each of whose tests runs one case folder of `area`, held as `c`.
#define GOLDEN_CASES(Suite, area)                                      \
    struct Suite : ::testing::TestWithParam<std::string> {             \
        const golden::Case c{QStringLiteral(area), GetParam()};        \
    };                                                                 \
    INSTANTIATE_TEST_SUITE_P(Golden, Suite, ::testing::ValuesIn(golden::Cases(QStringLiteral(area))), golden::TestName)
