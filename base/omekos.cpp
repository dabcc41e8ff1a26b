#include "base/omekos.h"

#include <QDateTime>
#include <QHostAddress>
#include <QHostInfo>

#include <algorithm>

namespace
{

quint64 SystemTime()
{
    return static_cast<quint64>(QDateTime::currentMSecsSinceEpoch());
}

int SystemResolve(const QString& host, QString& resolved)
{
    if (!QHostAddress(host).isNull()) {
        resolved = host;
        return 0;
    }
    const QHostInfo info = QHostInfo::fromName(host);
    if (info.error() != QHostInfo::NoError)
        return info.error();
    const QList<QHostAddress> addresses = info.addresses();
    if (addresses.isEmpty())
        return QHostInfo::HostNotFound;
    auto chosen = std::find_if(addresses.begin(), addresses.end(), [](const QHostAddress& address) {
        return address.protocol() == QAbstractSocket::IPv4Protocol;
    });
    resolved = (chosen != addresses.end() ? *chosen : addresses.first()).toString();
    return 0;
}

OmekOS::TimeSource& CurrentTimeSource()
{
    static OmekOS::TimeSource s_source(SystemTime);
    return s_source;
}

OmekOS::Resolver& CurrentResolver()
{
    static OmekOS::Resolver s_resolver(SystemResolve);
    return s_resolver;
}

} // namespace

std::unique_ptr<OmekOS> OmekOS::Create()
{
    return std::unique_ptr<OmekOS>(new OmekOS());
}

quint64 OmekOS::GetCurrentTime() const
{
    return CurrentTimeSource()();
}

int OmekOS::ResolveHostAddress(const QString& host, QString& resolved) const
{
    if (host.isEmpty())
        return QHostInfo::HostNotFound;
    return CurrentResolver()(host, resolved);
}

void OmekOS::SetTimeSource(TimeSource source)
{
    CurrentTimeSource() = source ? std::move(source) : TimeSource(SystemTime);
}

void OmekOS::SetResolver(Resolver resolver)
{
    CurrentResolver() = resolver ? std::move(resolver) : Resolver(SystemResolve);
}
