#pragma once

#include <QtGlobal>

// Enumerations of the DF device model. The numeric values are stored in the
// configuration, exchanged with drivers and used as table entries, so every
// value is fixed; several enumerations carry values that have no enumerator
// (for example device types 5 and 7, or operation modes 1..14).

/// Device type, derived from the text of the device-type value.
enum EKVTType : qint32
{
    KVT_TYPE_Q1 = 0,   ///< "KVTQ1"; also every unknown text and a missing value
    KVT_TYPE_N1 = 1,   ///< "KVTN1"
    KVT_TYPE_U1 = 2,   ///< "KVTU1"
    KVT_TYPE_P1 = 3,   ///< "KVTP1"
    KVT_TYPE_W1 = 4,   ///< "KVTW1"
    KVT_TYPE_END = 8   ///< terminates device-type lists in the sample-mode table
};

/// Front end (converter) an antenna is connected to; derived from the
/// antenna's converter type name by exact, case-sensitive comparison.
enum EKVTConverter : qint32
{
    CONV_NONE = 0,   ///< any unknown type name; never matches a sample mode
    CONV_RP29 = 2,
    CONV_VQ28 = 3,
    CONV_VQ48 = 4,
    CONV_RP56 = 5,
    CONV_VQ36 = 6,
    CONV_VQ26 = 7,
    CONV_RP39 = 8,
    CONV_VQ57 = 9,
    CONV_RP38 = 10,
    CONV_VQ62 = 11
};

/// Operation mode of the device, an integer code. Only the two markers used
/// by the sample-mode table are named; the modes themselves are numbers.
enum EOperationMode : qint32
{
    OPMODE_LIST_END = -2,   ///< 0xFFFFFFFE: ends an operation-mode list
    OPMODE_ANY = -1         ///< 0xFFFFFFFF: any operation mode
};

/// Frequency range type.
enum EFreqRange : qint32
{
    FREQ_RANGE_UNKNOWN = -1,
    FREQ_RANGE_HF = 0,
    FREQ_RANGE_VUHF = 1,
    FREQ_RANGE_VLF = 2
};

/// DF method.
enum EKVTMethod : quint32
{
    DF_METHOD_WAT = 0,
    DF_METHOD_COR = 1,
    DF_METHOD_SUPR = 2,   ///< super-resolution
    DF_METHOD_VEC = 3,
    DF_METHOD_UNKNOWN = 0xFFFFFFFFu   ///< result for an unknown method key
};

/// Bit set of detailed DF methods. A method is present when all its bits are
/// set; bit 8 accompanies the antenna models whose name contains "SR".
enum EKVTMethodDetailed : qint32
{
    METHOD_DETAILED_1 = 1,
    METHOD_DETAILED_2 = 2,
    METHOD_DETAILED_4 = 4,
    METHOD_DETAILED_8 = 8
};

/// Polarisation mode.
enum EKVTPolarisation : quint32
{
    POL_LEFT = 0,         ///< "Left"
    POL_RIGHT = 1,        ///< "Right"
    POL_VERTICAL = 2,     ///< "Vertical"
    POL_HORIZONTAL = 3,   ///< "Horizontal"
    POL_UNKNOWN = 0xFFFFFFFFu   ///< result for an unknown polarisation text
};

/// Device option; eOptNone means that no option is required.
enum EKVTOptions : qint32
{
    eOptNone = 0,
    eOptCL = 1,
    eOptDR = 2,
    eOptGSM = 3,
    eOptHFR = 4,
    eOptLF = 5,
    eOptTS = 6,
    eOptQ_WB = 7,
    eOptQ_SR = 8,
    eOptN_HF = 9,
    eOptN_HBW = 10,
    eOptN_SR = 11,
    eOptN_WB = 12,
    eOptP_4C = 13,
    eOptTRA = 14,
    eOptSSL = 15,
    eOptQ_MC = 16,
    eOptQ_REM = 17,
    eOptN_MC = 18,
    eOptN_REM = 19
};

/// Sample mode: the values 0..19 and 1000..1003 of the sample-mode table.
enum EKVTSampleMode : qint32
{
    SAMPLE_MODE_NONE = -1   ///< 0xFFFFFFFF: ends the table; "no sample mode found"
};
