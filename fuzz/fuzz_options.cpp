// An option list as the device reports it ("KVT-CL;KVTN-HF"). Properties:
// no crash; the set's own text reads back to the same set, and an accepted
// list installs exactly its pieces.
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "fuzz/fuzzsupport.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = Fuzz::Text(data, size);
    KVTOptions& options = *KVTOptions::Instance();
    options.ClearAllOptions();
    const bool accepted = options.AddOptionsFromString(text);
    const QString written = options.GetOptionsAsString();

    options.ClearAllOptions();
    FUZZ_CHECK(written.isEmpty() || options.AddOptionsFromString(written));
    FUZZ_CHECK(options.GetOptionsAsString() == written);

    if (accepted) {
        KVTOptions single = options;
        single.ClearAllOptions();
        for (const QString& piece : text.split(QLatin1Char(';')))
            FUZZ_CHECK(single.AddOptionByName(piece));
        FUZZ_CHECK(single.GetOptionsAsString() == written);
        FUZZ_CHECK(written.count(QLatin1Char(';')) == text.count(QLatin1Char(';')));
    }
    return 0;
}
