#include "network/stationtopics.h"

#include "network/topiclevel.h"

namespace
{

const QString ROOT = QStringLiteral("kvt/stations/");

} // namespace

namespace StationTopics
{

const QString CLIENT_SUFFIX = QStringLiteral(".station");

QString Bearings(const QString& station)
{
    return ROOT + TopicLevel::Escape(station) + QStringLiteral("/bearings");
}

QString Status(const QString& station)
{
    return ROOT + TopicLevel::Escape(station) + QStringLiteral("/status");
}

QString ClientId(const QString& station)
{
    return station + CLIENT_SUFFIX;
}

}
