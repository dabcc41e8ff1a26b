#include "devicecontrol/directionfinder/zodclient/zodtopics.h"

#include <QRegularExpression>

namespace
{

const QString ROOT = QStringLiteral("kvt/zod/");

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

const QString ZodTopics::ONLINE = QStringLiteral("online");
const QString ZodTopics::OFFLINE = QStringLiteral("offline");

QString ZodTopics::Level(const QString& name)
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

bool ZodTopics::Name(const QString& level, QString& rName)
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

QString ZodTopics::State(const QString& client)
{
    return ROOT + Level(client) + QStringLiteral("/state");
}

QString ZodTopics::Config(const QString& client, const QString& key)
{
    return ROOT + Level(client) + QStringLiteral("/config/") + key;
}

QString ZodTopics::Parameter(const QString& client, const QString& tag)
{
    return ROOT + Level(client) + QStringLiteral("/param/") + tag;
}

QString ZodTopics::Parameters(const QString& client)
{
    return ROOT + Level(client) + QStringLiteral("/param/+");
}

bool ZodTopics::SplitParameter(const QString& topic, QString& rClient, QString& rTag)
{
    const QStringList levels = topic.split(QLatin1Char('/'));
    if (levels.size() != 5 || levels.at(0) != QLatin1String("kvt") || levels.at(1) != QLatin1String("zod")
        || levels.at(3) != QLatin1String("param") || levels.at(4).isEmpty())
        return false;
    QString client;
    if (!Name(levels.at(2), client))
        return false;
    rClient = client;
    rTag = levels.at(4);
    return true;
}

QStringList ZodTopics::Targets(const QString& text)
{
    QStringList targets;
    for (const QString& entry : text.split(QRegularExpression(QStringLiteral("[,;]"))))
    {
        const QString name = entry.trimmed();
        if (!name.isEmpty() && !targets.contains(name))
            targets << name;
    }
    return targets;
}
