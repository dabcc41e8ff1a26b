#include "contract/stationtopics.h"

#include "contract/topiclevel.h"

#include <QStringList>

namespace
{

const QString ROOT = QStringLiteral("kvt/stations/");
const QString BEARINGS = QStringLiteral("/bearings");

} // namespace

namespace StationTopics
{

const QString ALL_BEARINGS = ROOT + QLatin1Char('+') + BEARINGS;

QString Bearings(const QString& station)
{
    return ROOT + TopicLevel::Escape(station) + BEARINGS;
}

QString Status(const QString& station)
{
    return ROOT + TopicLevel::Escape(station) + QStringLiteral("/status");
}

bool StationOfBearings(const QString& topic, QString& rStation)
{
    if (!topic.startsWith(ROOT) || !topic.endsWith(BEARINGS))
        return false;
    const QString level = topic.mid(ROOT.size(), topic.size() - ROOT.size() - BEARINGS.size());
    return !level.isEmpty() && TopicLevel::Unescape(level, rStation);
}

}
