#pragma once

#include "kvthost_export.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

/// The host's operating-system service: current time and host-name resolution.
/// Both can be replaced process-wide (tests inject a clock and a resolver);
/// replacements affect every instance, including ones already created.
/// Replace them only while no other thread uses the service.
class KVTHOST_EXPORT OmekOS
{
public:
    /// Returns the current time in the unit of Omek::DateTime.
    using TimeSource = std::function<quint64()>;
    /// Resolves host into resolved; returns the result code (0 = success).
    using Resolver = std::function<int(const QString& host, QString& resolved)>;

    /// A new service object; the caller owns it.
    static std::unique_ptr<OmekOS> Create();

    /// Milliseconds since 1970-01-01T00:00:00 UTC.
    quint64 GetCurrentTime() const;

    /// Resolves a host name to the text of its address (IPv4 preferred), by a
    /// synchronous system lookup (getaddrinfo: hosts file, then DNS). An
    /// address text resolves to itself without a lookup. Returns 0 on success,
    /// otherwise 1 (host not found, also for an empty name) or 2 (any other
    /// failure); resolved is then left unchanged.
    int ResolveHostAddress(const QString& host, QString& resolved) const;

    /// An empty function restores the system clock.
    static void SetTimeSource(TimeSource source);
    /// An empty function restores the system resolver.
    static void SetResolver(Resolver resolver);

private:
    OmekOS() = default;
};
