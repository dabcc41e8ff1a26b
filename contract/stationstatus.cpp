#include "contract/stationstatus.h"

#include <QJsonDocument>
#include <QJsonObject>

QByteArray StationStatus::ToJson(bool bOnline) const
{
    const QJsonObject object{
        {QStringLiteral("v"), VERSION},
        {QStringLiteral("station"), strName},
        {QStringLiteral("latitude"), fLatitude},
        {QStringLiteral("longitude"), fLongitude},
        {QStringLiteral("heading"), fHeading},
        {QStringLiteral("frequencyMin"), fFrequencyMin},
        {QStringLiteral("frequencyMax"), fFrequencyMax},
        {QStringLiteral("online"), bOnline},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
