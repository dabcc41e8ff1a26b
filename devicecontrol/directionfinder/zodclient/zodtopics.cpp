#include "devicecontrol/directionfinder/zodclient/zodtopics.h"

#include "contract/topiclevel.h"

#include <QRegularExpression>

namespace
{

const QString ROOT = QStringLiteral("kvt/zod/");

} // namespace

const QString ZodTopics::ONLINE = QStringLiteral("online");
const QString ZodTopics::OFFLINE = QStringLiteral("offline");

QString ZodTopics::Level(const QString& name)
{
    return TopicLevel::Escape(name);
}

bool ZodTopics::Name(const QString& level, QString& rName)
{
    return TopicLevel::Unescape(level, rName);
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
