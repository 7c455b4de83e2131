#include "TempFiles.h"
#include "datafiles/cwDct.h"

TEST(Dictionary, SetupResultsAndDefinitions) {
    struct Case { const char* name; QByteArray file; int result, field, len; const char* desc; int last; };
    const Case cases[] = {
        {"INV header is the last line", "[INV]\r\n", 2, 10, 0, "", 0},
        {"level 100 above 99", "[INV]100\r\n10,1,30:X\r\n", 2, 10, 0, "", 0},
        {"level 99", "[INV]99\r\n10,1,30:X\r\n", 0, 10, 30, "X", 10},
        {"lower-case name", "[Inv]\r\n10,1,7:Y\r\n", 0, 10, 7, "Y", 10},
        {"two INV sections, later wins", "[INV]\r\n10,1,5:A\r\n150,0,2:B\r\n[INV]1\r\n10,1,8:C\r\n", 0, 10, 8, "C", 150},
        {"description keeps colons", "[INV]\r\n10,1,30:Price: current\r\n", 0, 10, 30, "Price: current", 10},
        {"field 250", "[INV]\r\n250,1,30:X\r\n", 0, 0, 0, "", 0},
        {"definition before any header", "10,1,5:X\r\n[INV]\r\n", 2, 10, 0, "", 0},
        {"other section skipped", "[ORD]\r\n10,1,5:X\r\n[INV]\r\n11,1,6:Y\r\n", 0, 10, 0, "", 11},
        {"comment inside section", "[INV]\r\n/10,1,5:X\r\n", 2, 10, 0, "", 0},
        {"END in any case stops", "[INV]\r\n10,1,5:X\r\n[end]\r\n[INV]\r\n10,1,9:Y\r\n", 0, 10, 5, "X", 10},
        {"bare LF, no final line end", "[INV]\n10,1,5:X", 0, 10, 5, "X", 10},
        {"field number beyond 16 bits", "[INV]\r\n70000,1,5:X\r\n", 1, 10, 0, "", 0},
        {"length halves go to even", "[INV]\r\n10,1,4.5:X\r\n", 0, 10, 4, "X", 10},
    };
    TempFiles tmp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cwDct d;
        d.setDLen(33, 9);  // leftovers of an earlier read must go, whatever this read gives
        EXPECT_EQ(d.setup(tmp.write("d.dct", c.file), "INV", 99), c.result);
        EXPECT_EQ(d.dLen(static_cast<std::int16_t>(c.field)), c.len);
        EXPECT_EQ(d.dDesc(static_cast<std::int16_t>(c.field)), QString::fromUtf8(c.desc));
        EXPECT_EQ(d.dLast(), c.last);
        EXPECT_EQ(d.dLen(33), 0);
    }
}

TEST(Dictionary, IndexesReduceModulo1000AndOutOfRangeMeansEntryZero) {
    cwDct d;
    d.setDLen(0, 7);
    d.setDLen(10, 30);
    EXPECT_EQ(d.dLen(1010), 30);
    d.setDLen(300, 5);  // goes nowhere
    for (std::int16_t ix : {0, 300, -3, -1010, 32767, -32768}) EXPECT_EQ(d.dLen(ix), 7) << ix;
    d.setDAlpha(1199, 3);
    EXPECT_EQ(d.dAlpha(199), 3);
    d.setDMaster(1012, true);
    EXPECT_FALSE(d.dStDat(12)) << "store data is the other side of master";
}

TEST(Dictionary, MasterStoreBlock) {
    // Every field 1..199 not listed must be master.
    struct Case { const char* name; QByteArray file; bool prisame; int result; std::vector<int> storeFields; };
    const Case cases[] = {
        {"S", "%BEGIN%\r\n12,S\r\n%END%\r\n", true, 0, {12}},
        {"lower-case s is master", "%BEGIN%\r\n12,s\r\n%END%\r\n", true, 0, {}},
        {"P with prisame", "%BEGIN%\r\n13,P\r\n%END%\r\n", true, 0, {}},
        {"P without prisame", "%BEGIN%\r\n13,P\r\n%END%\r\n", false, 0, {13}},
        {"never closed", "%BEGIN%\r\n12,S\r\n14,S", true, 0, {12, 14}},
        {"no block", "[INV]\r\n12,S\r\n", true, 2, {}},
        {"after END, only the first block", "[END]\r\n%BEGIN%x\r\n12,S\r\n%END%\r\n%BEGIN%\r\n14,S\r\n", true, 0, {12}},
        {"comment and bad lines skipped", "%BEGIN%\r\n/12,S\r\n250,S\r\n15S\r\n16, S\r\n17,S\r\n%END%\r\n", true, 0, {17}},
        {"number beyond 16 bits keeps what was set", "%BEGIN%\r\n12,S\r\n99999,S\r\n14,S\r\n", true, 1, {12}},
    };
    TempFiles tmp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cwDct d;
        for (std::int16_t f = 1; f <= 199; ++f) d.setDMaster(f, false);
        EXPECT_EQ(d.setupms(tmp.write("m.dct", c.file), c.prisame), c.result);
        for (std::int16_t f = 1; f <= 199; ++f)
            EXPECT_EQ(d.dStDat(f), std::count(c.storeFields.begin(), c.storeFields.end(), f) == 1) << "field " << f;
        EXPECT_FALSE(d.dMaster(0)) << "entry 0 is left as it stands";
    }
}
