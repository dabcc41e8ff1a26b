#include "tools/kvtfix/kmlnetworklink.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamWriter>

namespace kvt {

namespace KmlNetworkLink {

QString FileName(const QString& kmlFile)
{
    const QFileInfo info(kmlFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-live.kml"));
}

QByteArray Content(const QString& kmlFile)
{
    QByteArray content;
    QXmlStreamWriter xml(&content);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeStartElement(QStringLiteral("kml"));
    // In a Document, so that readers that want a container at the root (GDAL) open it too.
    xml.writeStartElement(QStringLiteral("Document"));
    xml.writeStartElement(QStringLiteral("NetworkLink"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("kvtfix: live fixes"));
    xml.writeTextElement(QStringLiteral("refreshVisibility"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("flyToView"), QStringLiteral("0"));
    xml.writeStartElement(QStringLiteral("Link"));
    // Relative to the link file; the name is escaped as a URL path.
    xml.writeTextElement(QStringLiteral("href"),
                         QString::fromUtf8(QUrl::toPercentEncoding(QFileInfo(kmlFile).fileName())));
    xml.writeTextElement(QStringLiteral("refreshMode"), QStringLiteral("onInterval"));
    xml.writeTextElement(QStringLiteral("refreshInterval"), QString::number(REFRESH_SECONDS));
    xml.writeEndDocument();
    return content;
}

}

}
