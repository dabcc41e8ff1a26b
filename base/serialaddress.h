#pragma once

#include "kvthost_export.h"

#include <QString>
#include <QtGlobal>

/// A serial line address: "<port>:<baud>,<parity>,<data bits>,<stop bits>",
/// for example "COM1:9600,e,8,1".
///
/// Port: "COMn" (any case, n from 1) is the n-th on-board port, which Linux
/// calls /dev/ttyS<n-1> (COM1 is /dev/ttyS0); an absolute path is taken as is
/// (a symbolic link such as /dev/serial/by-id/... too); any other name is a
/// device below /dev ("ttyUSB0"). The settings follow the last ":", so a path
/// may itself contain ":".
/// Settings, all four required, blanks around them ignored: baud a positive
/// number; parity n(one), e(ven), o(dd), m(ark) or s(pace), any case; data
/// bits 5 to 8; stop bits 1, 1.5 or 2.
struct KVTHOST_EXPORT SerialAddress
{
    enum EParity
    {
        PARITY_NONE,
        PARITY_EVEN,
        PARITY_ODD,
        PARITY_MARK,
        PARITY_SPACE
    };
    enum EStopBits
    {
        STOP_ONE,
        STOP_ONE_AND_HALF,
        STOP_TWO
    };

    /// False, and `rAddress` untouched, for text that does not follow the syntax.
    static bool Parse(const QString& text, SerialAddress& rAddress);

    /// The device file (COMn already mapped).
    QString m_strDevice;
    qint32 m_nBaudRate = 9600;
    EParity m_eParity = PARITY_NONE;
    int m_nDataBits = 8;
    EStopBits m_eStopBits = STOP_ONE;
};
