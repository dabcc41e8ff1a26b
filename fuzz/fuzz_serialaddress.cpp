// A serial line address as a user types it into the output settings
// ("COM1:9600,e,8,1"). Properties: no crash; a refused text leaves the
// address untouched; an accepted one has settings in their ranges and a
// device path, and written out again in the same syntax it reads back equal.
#include "base/serialaddress.h"
#include "fuzz/fuzzsupport.h"

namespace
{

bool operator==(const SerialAddress& a, const SerialAddress& b)
{
    return a.m_strDevice == b.m_strDevice && a.m_nBaudRate == b.m_nBaudRate && a.m_eParity == b.m_eParity
        && a.m_nDataBits == b.m_nDataBits && a.m_eStopBits == b.m_eStopBits;
}

QString Written(const SerialAddress& address)
{
    static const char* const s_aStopBits[] = {"1", "1.5", "2"};
    // Joined, not arg()-formatted: a device name may itself hold "%1".
    return address.m_strDevice + QLatin1Char(':') + QString::number(address.m_nBaudRate) + QLatin1Char(',')
        + QStringLiteral("neoms").at(address.m_eParity) + QLatin1Char(',') + QString::number(address.m_nDataBits)
        + QLatin1Char(',') + QLatin1String(s_aStopBits[address.m_eStopBits]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SerialAddress untouched;
    SerialAddress address;
    if (!SerialAddress::Parse(Fuzz::Text(data, size), address)) {
        FUZZ_CHECK(address == untouched);
        return 0;
    }
    FUZZ_CHECK(address.m_strDevice.startsWith(QLatin1Char('/')));
    FUZZ_CHECK(address.m_nBaudRate > 0);
    FUZZ_CHECK(address.m_nDataBits >= 5 && address.m_nDataBits <= 8);
    FUZZ_CHECK(address.m_eParity >= SerialAddress::PARITY_NONE && address.m_eParity <= SerialAddress::PARITY_SPACE);
    FUZZ_CHECK(address.m_eStopBits >= SerialAddress::STOP_ONE && address.m_eStopBits <= SerialAddress::STOP_TWO);
    SerialAddress reread;
    FUZZ_CHECK(SerialAddress::Parse(Written(address), reread));
    FUZZ_CHECK(reread == address);
    return 0;
}
