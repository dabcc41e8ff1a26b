#pragma once

#include <QByteArray>
#include <QString>

/// Reads what arrives in ZOD parameter messages and configuration calls.
/// Any bytes may come from the broker; every function either accepts its
/// input and fills the results, or returns false and leaves them untouched.
class ZodPayload
{
public:
    /// Longer payloads are refused unread: no parameter text comes near it.
    static constexpr int MAX_SIZE = 256;
    /// Frequencies at or above this are refused (1 THz).
    static constexpr double MAX_FREQUENCY = 1e12;

    /// The payload as text: valid UTF-8 of at most MAX_SIZE bytes without
    /// control characters.
    static bool Text(const QByteArray& payload, QString& rText);
    /// A frequency in Hz: a plain decimal number ("100000000", "1.25e8"), above
    /// 0 and below MAX_FREQUENCY. No sign, no blanks, no "inf" or "nan".
    static bool Frequency(const QString& text, double& rfHz);
    /// A frequency range "<minimum>,<maximum>" of two frequencies with the
    /// maximum above the minimum.
    static bool Range(const QString& text, double& rfMinimum, double& rfMaximum);
    /// A bandwidth as displayed: a number followed by " Hz", " kHz", " MHz" or
    /// " GHz" ("12.5 kHz"), or a frequency text in Hz.
    static bool Bandwidth(const QString& text, double& rfHz);
};
