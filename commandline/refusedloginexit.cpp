#include "commandline/refusedloginexit.h"

#include <QCoreApplication>

namespace kvt {

RefusedLoginExit::RefusedLoginExit(const QString& program, QTextStream& err, int nExitCode, QObject* pParent)
    : QObject(pParent)
    , m_strProgram(program)
    , m_err(err)
    , m_nExitCode(nExitCode)
{
}

void RefusedLoginExit::Watch(const MqttConnection& connection)
{
    connect(&connection, &MqttConnection::LoginRefused, this, [this, &connection] { GiveUp(connection); });
}

void RefusedLoginExit::GiveUp(const MqttConnection& connection)
{
    if (m_bGivenUp)
        return;
    m_bGivenUp = true;
    const MqttConnection::Settings& settings = connection.GetSettings();
    m_err << m_strProgram << ": giving up after " << MqttConnection::MAX_LOGIN_TRIES << " refused logins at "
          << settings.strHost << ":" << settings.nPort << "\n"
          << Qt::flush;
    QCoreApplication::exit(m_nExitCode);
}

}
