#include "contract/topiclevel.h"

namespace
{

bool IsEscaped(QChar character)
{
    return character == QLatin1Char('%') || character == QLatin1Char('/') || character == QLatin1Char('+')
        || character == QLatin1Char('#') || character.unicode() < 0x20 || character.unicode() == 0x7F;
}

int HexDigit(QChar character)
{
    const ushort code = character.unicode();
    if (code >= '0' && code <= '9')
        return code - '0';
    if (code >= 'A' && code <= 'F')
        return code - 'A' + 10;
    return -1;
}

} // namespace

namespace TopicLevel
{

QString Escape(const QString& name)
{
    QString level;
    level.reserve(name.size());
    for (QChar character : name)
    {
        if (IsEscaped(character))
            level += QStringLiteral("%%1").arg(character.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            level += character;
    }
    return level;
}

bool Unescape(const QString& level, QString& rName)
{
    QString name;
    for (int i = 0; i < level.size(); ++i)
    {
        const QChar character = level.at(i);
        if (character != QLatin1Char('%'))
        {
            if (IsEscaped(character))
                return false;
            name += character;
            continue;
        }
        if (i + 2 >= level.size())
            return false;
        const int nHigh = HexDigit(level.at(i + 1));
        const int nLow = HexDigit(level.at(i + 2));
        const QChar decoded(static_cast<ushort>(nHigh * 16 + nLow));
        if (nHigh < 0 || nLow < 0 || !IsEscaped(decoded))
            return false;
        name += decoded;
        i += 2;
    }
    rName = name;
    return true;
}

}
