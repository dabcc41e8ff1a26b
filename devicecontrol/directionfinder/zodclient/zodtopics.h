#pragma once

#include <QString>
#include <QStringList>

/// The ZOD part of the MQTT topic tree, in one place for both roles:
///
///     kvt/zod/<client>/state         "online" / "offline" (retained; Last Will "offline")
///     kvt/zod/<client>/config/<key>  one configuration item (retained)
///     kvt/zod/<client>/param/<TAG>   the current text of one parameter (retained)
///
/// <client> is the client name as one topic level: "%", "/", "+", "#" and
/// control characters are written as "%" and two upper-case hex digits of
/// their UTF-8 bytes, so any name makes exactly one level and reads back.
class ZodTopics
{
public:
    static const QString ONLINE;
    static const QString OFFLINE;

    static QString Level(const QString& name);
    /// The name a level stands for; false for a level that Level() cannot
    /// have made (a bad or lower-case escape, a character it escapes).
    static bool Name(const QString& level, QString& rName);

    static QString State(const QString& client);
    static QString Config(const QString& client, const QString& key);
    static QString Parameter(const QString& client, const QString& tag);
    /// The subscription that follows every parameter of `client`.
    static QString Parameters(const QString& client);

    /// Client name and tag of a parameter topic; false for any other topic.
    static bool SplitParameter(const QString& topic, QString& rClient, QString& rTag);

    /// The sender names of an "AutoCoupleTargets" text: separated by commas
    /// or semicolons, blanks around a name dropped, empty entries and repeats
    /// left out, in the order given. "" follows nobody.
    static QStringList Targets(const QString& text);
};
