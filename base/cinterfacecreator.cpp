#include "base/cinterfacecreator.h"

#include "base/errorhandler.h"
#include "base/serialaddress.h"
#include "base/serialconnection_p.h"
#include "base/trace.h"

#include <limits>

std::unique_ptr<IInterface> CInterfaceCreator::CreateInterface(const QString& address, IInterfaceCallback* pCallback,
                                                               unsigned long long maxPendingBytes, bool bReserved)
{
    Q_UNUSED(bReserved)
    SerialAddress serialAddress;
    if (pCallback == nullptr || !SerialAddress::Parse(address, serialAddress))
    {
        if (ErrorHandler::Instance().TracesEnabled())
            _Q_Trace(QStringLiteral("CInterfaceCreator: no connection for address '%1'").arg(address), __FILE__,
                     __LINE__);
        return nullptr;
    }
    const auto maxPending = static_cast<qint64>(
        qMin<unsigned long long>(maxPendingBytes, static_cast<unsigned long long>(std::numeric_limits<qint64>::max())));
    return std::make_unique<SerialConnection>(serialAddress, pCallback, maxPending);
}
