// The data dictionary read from a file's bytes: the field definitions of the INV sections up to
// level 1 (what the window asks for), then the master/store block, both price choices.
#include "FuzzSupport.h"
#include "datafiles/cwDct.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFile scratch(".dct");
    const QString& path =
        scratch.write(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    cwDct dct;
    const std::int16_t read = dct.setup(path, QStringLiteral("INV"), 1);
    FUZZ_CHECK(read == 0 || read == 1 || read == 2);
    FUZZ_CHECK(dct.dLast() >= 0 && dct.dLast() <= cwDct::kHighestField);
    if (read != 0) FUZZ_CHECK(read == 1 || dct.dLast() == 0);

    for (const bool prisame : {true, false}) {
        const std::int16_t ms = dct.setupms(path, prisame);
        FUZZ_CHECK(ms == 0 || ms == 1 || ms == 2);
        // Every field number, and numbers around the range and its modulo-1000 image, answer.
        for (int ix = -1001; ix <= 1201; ++ix) {
            const auto f = static_cast<std::int16_t>(ix);
            FUZZ_CHECK(dct.dStDat(f) == !dct.dMaster(f));
            (void)dct.dLen(f);
            (void)dct.dAlpha(f);
            (void)dct.dDesc(f);
        }
    }
    return 0;
}
