#include "base/omekos.h"

#include <QDateTime>

#include <memory>

#include <netdb.h>
#include <sys/socket.h>

namespace
{

constexpr int HOST_NOT_FOUND_CODE = 1;
constexpr int LOOKUP_FAILED_CODE = 2;

quint64 SystemTime()
{
    return static_cast<quint64>(QDateTime::currentMSecsSinceEpoch());
}

using AddressList = std::unique_ptr<addrinfo, decltype(&freeaddrinfo)>;

AddressList Lookup(const QByteArray& host, int flags, int& error)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address instead of one per socket type
    hints.ai_flags = flags;
    addrinfo* list = nullptr;
    error = getaddrinfo(host.constData(), nullptr, &hints, &list);
    return AddressList(error == 0 ? list : nullptr, freeaddrinfo);
}

int SystemResolve(const QString& host, QString& resolved)
{
    const QByteArray name = host.toUtf8();
    int error = 0;
    if (Lookup(name, AI_NUMERICHOST, error)) {
        resolved = host;
        return 0;
    }
    const AddressList list = Lookup(name, 0, error);
    if (!list)
        return error == EAI_NONAME || error == EAI_NODATA ? HOST_NOT_FOUND_CODE : LOOKUP_FAILED_CODE;
    const addrinfo* chosen = list.get();
    for (const addrinfo* entry = list.get(); entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            chosen = entry;
            break;
        }
    }
    char text[NI_MAXHOST];
    if (getnameinfo(chosen->ai_addr, chosen->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0)
        return LOOKUP_FAILED_CODE;
    resolved = QString::fromLatin1(text);
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
        return HOST_NOT_FOUND_CODE;
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
