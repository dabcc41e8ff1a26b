#include "base/serialaddress.h"

#include <QRegularExpression>
#include <QStringList>

namespace
{

// COMn counts from 1, the Linux on-board ports from 0.
QString DeviceOf(const QString& port)
{
    static const QRegularExpression s_comPort(QStringLiteral("^COM([1-9][0-9]{0,3})$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = s_comPort.match(port);
    if (match.hasMatch())
        return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
    if (port.startsWith(QLatin1Char('/')))
        return port;
    return QStringLiteral("/dev/") + port;
}

bool ParityOf(const QString& text, SerialAddress::EParity& rParity)
{
    static const QString s_letters = QStringLiteral("neoms");
    const int index = text.size() == 1 ? s_letters.indexOf(text.at(0).toLower()) : -1;
    if (index < 0)
        return false;
    rParity = static_cast<SerialAddress::EParity>(index);
    return true;
}

bool StopBitsOf(const QString& text, SerialAddress::EStopBits& rStopBits)
{
    if (text == QLatin1String("1"))
        rStopBits = SerialAddress::STOP_ONE;
    else if (text == QLatin1String("1.5"))
        rStopBits = SerialAddress::STOP_ONE_AND_HALF;
    else if (text == QLatin1String("2"))
        rStopBits = SerialAddress::STOP_TWO;
    else
        return false;
    return true;
}

} // namespace

bool SerialAddress::Parse(const QString& text, SerialAddress& rAddress)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    const QString port = text.left(colon).trimmed();
    if (colon < 0 || port.isEmpty())
        return false;
    QStringList settings = text.mid(colon + 1).split(QLatin1Char(','));
    if (settings.size() != 4)
        return false;
    for (QString& setting : settings)
        setting = setting.trimmed();

    SerialAddress address;
    bool bBaudOk = false;
    bool bBitsOk = false;
    address.m_strDevice = DeviceOf(port);
    address.m_nBaudRate = settings[0].toInt(&bBaudOk);
    address.m_nDataBits = settings[2].toInt(&bBitsOk);
    if (!bBaudOk || address.m_nBaudRate <= 0 || !bBitsOk || address.m_nDataBits < 5 || address.m_nDataBits > 8
        || !ParityOf(settings[1], address.m_eParity) || !StopBitsOf(settings[3], address.m_eStopBits))
        return false;
    rAddress = address;
    return true;
}
