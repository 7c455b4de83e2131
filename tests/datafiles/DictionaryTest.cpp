#include "TempFiles.h"
#include "datafiles/cwDct.h"

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

}  // namespace

TEST(Dictionary, StoreFixtureReadsOnlyTheInvSectionsItMay) {
    cwDct d;
    ASSERT_EQ(d.setup(FixturePath("store.dct"), "INV", 99), 0);
    EXPECT_EQ(d.dLen(1), 12);
    EXPECT_EQ(d.dDesc(1), "Stock number");
    EXPECT_EQ(d.dLen(10), 30) << "the [ORD] and pre-header definitions must not count";
    EXPECT_EQ(d.dAlpha(10), 1);
    EXPECT_EQ(d.dDesc(48), "Price: current");
    EXPECT_EQ(d.dAlpha(48), 2);
    EXPECT_EQ(d.dLen(65), 4) << "[INV]100 is too deep, [Inv]2 is read";
    EXPECT_EQ(d.dLen(149), 12);
    EXPECT_EQ(d.dLen(150), 0) << "nothing after [END] is a definition";
    EXPECT_EQ(d.dLast(), 149);

    // The master/store block stands after [END]; only the first block counts.
    ASSERT_EQ(d.setupms(FixturePath("store.dct"), true), 0);
    EXPECT_TRUE(d.dStDat(21));
    EXPECT_TRUE(d.dMaster(48));
    EXPECT_TRUE(d.dMaster(65));
    EXPECT_TRUE(d.dMaster(10));
    ASSERT_EQ(d.setupms(FixturePath("store.dct"), false), 0);
    EXPECT_TRUE(d.dStDat(48));
    EXPECT_TRUE(d.dMaster(1));
}

TEST(Dictionary, SetupResultsAndDefinitions) {
    struct Case {
        const char* name;
        QByteArray file;
        int result;
        int field;
        int len;
        const char* desc;
        int last;
    };
    const Case cases[] = {
        {"INV header is the last line", "[INV]\r\n", 2, 10, 0, "", 0},
        {"INV then END", "[INV]\r\n[END]\r\n10,1,5:X\r\n", 0, 10, 0, "", 0},
        {"level 100 above 99", "[INV]100\r\n10,1,30:X\r\n", 2, 10, 0, "", 0},
        {"level 99", "[INV]99\r\n10,1,30:X\r\n", 0, 10, 30, "X", 10},
        {"lower-case name", "[Inv]\r\n10,1,7:Y\r\n", 0, 10, 7, "Y", 10},
        {"two INV sections, later wins", "[INV]\r\n10,1,5:A\r\n150,0,2:B\r\n[INV]1\r\n10,1,8:C\r\n", 0, 10, 8, "C", 150},
        {"description keeps colons", "[INV]\r\n10,1,30:Price: current\r\n", 0, 10, 30, "Price: current", 10},
        {"description untrimmed", "[INV]\r\n10,1,30: a, b \r\n", 0, 10, 30, " a, b ", 10},
        {"colon before second comma", "[INV]\r\n10,1:5,30\r\n", 0, 10, 0, "", 0},
        {"no colon", "[INV]\r\n10,1,30\r\n", 0, 10, 0, "", 0},
        {"one comma", "[INV]\r\n10,30:X\r\n", 0, 10, 0, "", 0},
        {"field 250", "[INV]\r\n250,1,30:X\r\n", 0, 0, 0, "", 0},
        {"field -1", "[INV]\r\n-1,1,5:X\r\n", 0, 0, 0, "", 0},
        {"blanks inside the number", "[INV]\r\n1 2,1,5:X\r\n", 0, 12, 5, "X", 12},
        {"field 0 is a field", "[INV]\r\n0,1,4:Zero\r\n", 0, 0, 4, "Zero", 0},
        {"definition before any header", "10,1,5:X\r\n[INV]\r\n", 2, 10, 0, "", 0},
        {"other section skipped", "[ORD]\r\n10,1,5:X\r\n[INV]\r\n11,1,6:Y\r\n", 0, 10, 0, "", 11},
        {"comment inside section", "[INV]\r\n/10,1,5:X\r\n", 2, 10, 0, "", 0},
        {"[ without ] ends the section", "[INV]\r\n[oops\r\n10,1,5:X\r\n", 0, 10, 0, "", 0},
        {"END in any case stops", "[INV]\r\n10,1,5:X\r\n[end]\r\n[INV]\r\n10,1,9:Y\r\n", 0, 10, 5, "X", 10},
        {"bare LF line ends", "[INV]\n10,1,5:X\n", 0, 10, 5, "X", 10},
        {"no final line end", "[INV]\r\n10,1,5:X", 0, 10, 5, "X", 10},
        {"Windows-1252 text", "[INV]\r\n10,1,5:Caf\xe9 \x80\r\n", 0, 10, 5, "Café €", 10},
        {"field number beyond 16 bits", "[INV]\r\n70000,1,5:X\r\n", 1, 10, 0, "", 0},
        {"length beyond 16 bits", "[INV]\r\n10,1,40000:X\r\n", 1, 10, 0, "", 0},
        {"level beyond 16 bits", "[INV]99999\r\n10,1,5:X\r\n", 1, 10, 0, "", 0},
        {"length halves go to even", "[INV]\r\n10,1,4.5:X\r\n", 0, 10, 4, "X", 10},
    };
    TempFiles tmp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cwDct d;
        // Leftovers from an earlier read must go, whatever this read gives.
        d.setDLen(33, 9);
        EXPECT_EQ(d.setup(tmp.write("d.dct", c.file), "INV", 99), c.result);
        EXPECT_EQ(d.dLen(static_cast<std::int16_t>(c.field)), c.len);
        EXPECT_EQ(d.dDesc(static_cast<std::int16_t>(c.field)), S(c.desc));
        EXPECT_EQ(d.dLast(), c.last);
        EXPECT_EQ(d.dLen(33), 0);
    }
}

TEST(Dictionary, FailedSetupLeavesAnEmptyDictionary) {
    cwDct d;
    ASSERT_EQ(d.setup(FixturePath("store.dct"), "INV", 99), 0);
    for (const QString& bad : {QString(), FixturePath("missing.dct"), FixturePath("")}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_EQ(d.setup(bad, "INV", 99), 1);
        EXPECT_EQ(d.dLast(), 0);
        for (std::int16_t f = 0; f <= 199; ++f) {
            EXPECT_EQ(d.dLen(f), 0);
            EXPECT_TRUE(d.dMaster(f));
        }
    }
}

TEST(Dictionary, IndexReductionAndOutOfRange) {
    cwDct d;
    EXPECT_FALSE(d.dMaster(5)) << "a new dictionary holds no master fields";
    d.setDLen(0, 7);
    d.setDLen(10, 30);
    d.setDDesc(0, "zero");
    EXPECT_EQ(d.dLen(1010), 30);
    EXPECT_EQ(d.dLen(10), 30);
    for (std::int16_t ix : {300, -3, -1010, 1200, 32767, -32768}) {
        SCOPED_TRACE(ix);
        EXPECT_EQ(d.dLen(ix), 7);
        EXPECT_EQ(d.dDesc(ix), "zero");
    }
    d.setDLen(300, 5);
    d.setDAlpha(-3, 5);
    d.setDDesc(250, "no");
    d.setDMaster(999, true);
    EXPECT_EQ(d.dLen(0), 7);
    EXPECT_EQ(d.dAlpha(0), 0);
    EXPECT_EQ(d.dDesc(0), "zero");
    EXPECT_FALSE(d.dMaster(0));
    d.setDAlpha(1199, 3);
    EXPECT_EQ(d.dAlpha(199), 3);

    d.setDStDat(12, true);
    EXPECT_FALSE(d.dMaster(12));
    EXPECT_TRUE(d.dStDat(12));
    d.setDMaster(12, true);
    EXPECT_FALSE(d.dStDat(1012));
}

TEST(Dictionary, MasterStoreBlock) {
    struct Case {
        const char* name;
        QByteArray file;
        bool prisame;
        int result;
        std::vector<int> storeFields;  // every other field 1..199 must be master
    };
    const Case cases[] = {
        {"S", "%BEGIN%\r\n12,S\r\n%END%\r\n", true, 0, {12}},
        {"lower-case s is master", "%BEGIN%\r\n12,s\r\n%END%\r\n", true, 0, {}},
        {"other code is master", "%BEGIN%\r\n12,X\r\n12\r\n%END%\r\n", true, 0, {}},
        {"P with prisame", "%BEGIN%\r\n13,P\r\n%END%\r\n", true, 0, {}},
        {"P without prisame", "%BEGIN%\r\n13,P\r\n%END%\r\n", false, 0, {13}},
        {"lower-case p without prisame", "%BEGIN%\r\n13,p\r\n%END%\r\n", false, 0, {}},
        {"code must follow the comma directly", "%BEGIN%\r\n12, S\r\n%END%\r\n", true, 0, {}},
        {"never closed", "%BEGIN%\r\n12,S\r\n14,S", true, 0, {12, 14}},
        {"empty block", "%BEGIN%\r\n%END%\r\n", true, 0, {}},
        {"no block", "[INV]\r\n12,S\r\n", true, 2, {}},
        {"marker not at the start", " %BEGIN%\r\n12,S\r\n", true, 2, {}},
        {"lower-case marker", "%begin%\r\n12,S\r\n", true, 2, {}},
        {"after END, only the first block", "[END]\r\n%BEGIN%x\r\n12,S\r\n%END%\r\n%BEGIN%\r\n14,S\r\n", true, 0, {12}},
        {"comment and bad lines skipped", "%BEGIN%\r\n/12,S\r\n250,S\r\n15S\r\n16,S\r\n%END%\r\n", true, 0, {16}},
        {"later line for the same field wins", "%BEGIN%\r\n12,S\r\n12,X\r\n%END%\r\n", true, 0, {}},
        {"number beyond 16 bits keeps what was set", "%BEGIN%\r\n12,S\r\n99999,S\r\n14,S\r\n", true, 1, {12}},
    };
    TempFiles tmp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cwDct d;
        for (std::int16_t f = 1; f <= 199; ++f) d.setDMaster(f, false);
        EXPECT_EQ(d.setupms(tmp.write("m.dct", c.file), c.prisame), c.result);
        for (std::int16_t f = 1; f <= 199; ++f) {
            const bool store = std::find(c.storeFields.begin(), c.storeFields.end(), f) != c.storeFields.end();
            EXPECT_EQ(d.dStDat(f), store) << "field " << f;
        }
        EXPECT_FALSE(d.dMaster(0)) << "entry 0 is left as it stands";
    }
    cwDct d;
    EXPECT_EQ(d.setupms(tmp.path("missing.dct"), true), 1);
    EXPECT_TRUE(d.dMaster(1));
}
