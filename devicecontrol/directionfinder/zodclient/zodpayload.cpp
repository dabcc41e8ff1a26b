#include "devicecontrol/directionfinder/zodclient/zodpayload.h"

#include <QRegularExpression>
#include <QTextCodec>

#include <cmath>

namespace
{

const QRegularExpression& NumberPattern()
{
    static const QRegularExpression s_pattern(QStringLiteral("^[0-9]+(\\.[0-9]+)?([eE][+-]?[0-9]{1,3})?$"));
    return s_pattern;
}

} // namespace

bool ZodPayload::Text(const QByteArray& payload, QString& rText)
{
    if (payload.size() > MAX_SIZE)
        return false;
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(payload.constData(), payload.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0)
        return false;
    for (QChar character : text)
        if (character.category() == QChar::Other_Control)
            return false;
    rText = text;
    return true;
}

bool ZodPayload::Frequency(const QString& text, double& rfHz)
{
    if (!NumberPattern().match(text).hasMatch())
        return false;
    bool bOk = false;
    const double fHz = text.toDouble(&bOk);
    if (!bOk || !std::isfinite(fHz) || fHz <= 0.0 || fHz >= MAX_FREQUENCY)
        return false;
    rfHz = fHz;
    return true;
}

bool ZodPayload::Range(const QString& text, double& rfMinimum, double& rfMaximum)
{
    const QStringList parts = text.split(QLatin1Char(','));
    double fMinimum = 0.0;
    double fMaximum = 0.0;
    if (parts.size() != 2 || !Frequency(parts.at(0), fMinimum) || !Frequency(parts.at(1), fMaximum)
        || fMaximum <= fMinimum)
        return false;
    rfMinimum = fMinimum;
    rfMaximum = fMaximum;
    return true;
}

bool ZodPayload::Bandwidth(const QString& text, double& rfHz)
{
    static const struct
    {
        const char* pszUnit;
        double fFactor;
    } s_aUNITS[] = {{" Hz", 1.0}, {" kHz", 1e3}, {" MHz", 1e6}, {" GHz", 1e9}, {"", 1.0}};
    for (const auto& unit : s_aUNITS)
    {
        const QLatin1String suffix(unit.pszUnit);
        if (!text.endsWith(suffix))
            continue;
        double fNumber = 0.0;
        if (!Frequency(text.left(text.size() - suffix.size()), fNumber) || fNumber * unit.fFactor >= MAX_FREQUENCY)
            return false;
        rfHz = fNumber * unit.fFactor;
        return true;
    }
    return false;
}
