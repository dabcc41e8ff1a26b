<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ConsoleWindow</name>
    <message>
        <source>kvtconsole: simulated DF station</source>
        <translation>kvtconsole: simulierte Peilstation</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>Capability report</source>
        <translation>Fähigkeitsbericht</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Rejected</source>
        <translation>Verworfen</translation>
    </message>
    <message>
        <source>Latest bearings</source>
        <translation>Letzte Peilungen</translation>
    </message>
    <message>
        <source>Rejected bearings</source>
        <translation>Verworfene Peilungen</translation>
    </message>
    <message>
        <source>Outputs</source>
        <translation>Ausgaben</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>DF data output</source>
        <translation>Peildatenausgabe</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>ZOD</source>
        <translation>ZOD</translation>
    </message>
    <message>
        <source>finished</source>
        <translation>beendet</translation>
    </message>
    <message>
        <source>paused</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>Station time %1 s of %2 s (%3); %4 bearings accepted, %5 produced</source>
        <translation>Stationszeit %1 s von %2 s (%3); %4 Peilungen angenommen, %5 erzeugt</translation>
    </message>
</context>
<context>
    <name>LatestBearingsTable</name>
    <message>
        <source>Time (UTC)</source>
        <translation>Zeit (UTC)</translation>
    </message>
    <message>
        <source>Frequency (MHz)</source>
        <translation>Frequenz (MHz)</translation>
    </message>
    <message>
        <source>Azimuth (°)</source>
        <translation>Azimut (°)</translation>
    </message>
    <message>
        <source>Elevation (°)</source>
        <translation>Elevation (°)</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualität</translation>
    </message>
    <message>
        <source>Level (dBµV)</source>
        <translation>Pegel (dBµV)</translation>
    </message>
</context>
<context>
    <name>OutputStatusTable</name>
    <message>
        <source>Output</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>Delivered</source>
        <translation>Zugestellt</translation>
    </message>
    <message>
        <source>Lost</source>
        <translation>Verloren</translation>
    </message>
    <message>
        <source>Last failure</source>
        <translation>Letzter Fehler</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
</context>
<context>
    <name>PolarGeometry</name>
    <message>
        <source>filtered by the device</source>
        <translation>vom Gerät ausgefiltert</translation>
    </message>
</context>
<context>
    <name>PolarView</name>
    <message>
        <source>%1 MHz (%2)
Azimuth %3°, elevation %4°
Quality %5, level %6 dBµV
%7 UTC</source>
        <translation>%1 MHz (%2)
Azimut %3°, Elevation %4°
Qualität %5, Pegel %6 dBµV
%7 UTC</translation>
    </message>
</context>
</TS>
