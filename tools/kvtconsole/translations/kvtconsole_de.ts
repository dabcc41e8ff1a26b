<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AlarmStrip</name>
    <message>
        <source>Click to acknowledge</source>
        <translation>Zum Quittieren klicken</translation>
    </message>
    <message numerus="yes">
        <source>and %n more (see the alarm log)</source>
        <translation>
            <numerusform>und %n weiterer (siehe Alarmprotokoll)</numerusform>
            <numerusform>und %n weitere (siehe Alarmprotokoll)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>AlarmTable</name>
    <message>
        <source>Time (UTC)</source>
        <translation>Zeit (UTC)</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>acknowledged</source>
        <translation>quittiert</translation>
    </message>
    <message>
        <source>standing (click to acknowledge)</source>
        <translation>offen (zum Quittieren klicken)</translation>
    </message>
</context>
<context>
    <name>ConsoleWindow</name>
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
    <message>
        <source>Map</source>
        <translation>Karte</translation>
    </message>
    <message>
        <source>Alarms</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>Broker lost: %1</source>
        <translation>Broker verloren: %1</translation>
    </message>
    <message>
        <source>Output %1 failing: %2</source>
        <translation>Ausgabe %1 gestört: %2</translation>
    </message>
    <message numerus="yes">
        <source>No accepted bearing for %n second(s)</source>
        <translation>
            <numerusform>Seit %n Sekunde keine angenommene Peilung</numerusform>
            <numerusform>Seit %n Sekunden keine angenommene Peilung</numerusform>
        </translation>
    </message>
    <message>
        <source>Station %1 went offline</source>
        <translation>Station %1 ist offline gegangen</translation>
    </message>
    <message>
        <source>New fix on watched %1 MHz at %2°, %3°</source>
        <translation>Neue Ortung auf beobachteten %1 MHz bei %2°, %3°</translation>
    </message>
    <message>
        <source>broker %1 connected</source>
        <translation>Broker %1 verbunden</translation>
    </message>
    <message>
        <source>broker %1 lost: %2</source>
        <translation>Broker %1 verloren: %2</translation>
    </message>
    <message>
        <source>broker %1 connecting</source>
        <translation>Broker %1: Verbindung wird aufgebaut</translation>
    </message>
    <message>
        <source>broker %1 unusable: %2</source>
        <translation>Broker %1 unbrauchbar: %2</translation>
    </message>
    <message>
        <source>No bearing yet</source>
        <translation>Noch keine Peilung</translation>
    </message>
    <message>
        <source>%1° true  (%2° from the bow)  %3 MHz</source>
        <translation>%1° rechtweisend  (%2° vom Bug)  %3 MHz</translation>
    </message>
    <message>
        <source>Bow up</source>
        <translation>Bug oben</translation>
    </message>
    <message>
        <source>On: the picture turned by the heading, the bow at the top. Off: north up, the bow marked at the platform&apos;s heading.</source>
        <translation>Ein: das Bild um den Kurs gedreht, der Bug oben. Aus: Norden oben, der Bug beim Kurs der Plattform markiert.</translation>
    </message>
    <message>
        <source>Fusion service %1 went offline: fixes are made here</source>
        <translation>Fusionsdienst %1 ist offline: Ortungen werden hier berechnet</translation>
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
    <message>
        <source>Bearing (° true)</source>
        <translation>Peilung (° rechtweisend)</translation>
    </message>
    <message>
        <source>Relative (°)</source>
        <translation>Relativ (°)</translation>
    </message>
    <message>
        <source>From the bow, as the device measured it</source>
        <translation>Vom Bug aus, wie das Gerät sie gemessen hat</translation>
    </message>
</context>
<context>
    <name>MapTab</name>
    <message>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>Rolle</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Bearing (° true)</source>
        <translation>Peilung (° rechtweisend)</translation>
    </message>
    <message>
        <source>Handover (MHz)</source>
        <translation>Übergabe (MHz)</translation>
    </message>
    <message>
        <source>Time (UTC)</source>
        <translation>Zeit (UTC)</translation>
    </message>
    <message>
        <source>Frequency (MHz)</source>
        <translation>Frequenz (MHz)</translation>
    </message>
    <message>
        <source>95 % ellipse (m)</source>
        <translation>95-%-Ellipse (m)</translation>
    </message>
    <message>
        <source>Flags</source>
        <translation>Hinweise</translation>
    </message>
    <message>
        <source>e.g. 145.5, 433.92</source>
        <translation>z. B. 145.5, 433.92</translation>
    </message>
    <message>
        <source>A new fix on one of these frequencies (MHz) raises an alarm</source>
        <translation>Eine neue Ortung auf einer dieser Frequenzen (MHz) löst einen Alarm aus</translation>
    </message>
    <message>
        <source>Stations</source>
        <translation>Stationen</translation>
    </message>
    <message>
        <source>Fixes, newest first</source>
        <translation>Ortungen, neueste zuerst</translation>
    </message>
    <message>
        <source>Watched frequencies (MHz):</source>
        <translation>Beobachtete Frequenzen (MHz):</translation>
    </message>
    <message>
        <source>no broker (start with --mqtt HOST:PORT)</source>
        <translation>kein Broker (mit --mqtt HOST:PORT starten)</translation>
    </message>
    <message>
        <source>online</source>
        <translation>online</translation>
    </message>
    <message>
        <source>offline</source>
        <translation>offline</translation>
    </message>
    <message>
        <source>Sender</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Tuned receivers</source>
        <translation>Abgestimmte Empfänger</translation>
    </message>
    <message>
        <source>Handovers, newest first</source>
        <translation>Übergaben, neueste zuerst</translation>
    </message>
    <message>
        <source>from the fusion service %1</source>
        <translation>vom Fusionsdienst %1</translation>
    </message>
    <message>
        <source>made here: the fusion service %1 is offline</source>
        <translation>hier berechnet: der Fusionsdienst %1 ist offline</translation>
    </message>
    <message>
        <source>made here from the bearings: no fusion service publishes fixes</source>
        <translation>hier aus den Peilungen berechnet: kein Fusionsdienst veröffentlicht Ortungen</translation>
    </message>
    <message>
        <source>%1 MHz</source>
        <translation>%1 MHz</translation>
    </message>
</context>
<context>
    <name>MapView</name>
    <message>
        <source>Station %1 (%2), %3
%4°, %5°, heading %6°</source>
        <translation>Station %1 (%2), %3
%4°, %5°, Kurs %6°</translation>
    </message>
    <message>
        <source>online</source>
        <translation>online</translation>
    </message>
    <message>
        <source>offline</source>
        <translation>offline</translation>
    </message>
    <message>
        <source>
Hands over %1 MHz</source>
        <translation>
Übergibt %1 MHz</translation>
    </message>
    <message>
        <source>Fix %1 MHz at %2°, %3°
95 %: %4 × %5 m, major axis %6°
%7 stations, %8 bearings%9</source>
        <translation>Ortung %1 MHz bei %2°, %3°
95 %: %4 × %5 m, Hauptachse %6°
%7 Stationen, %8 Peilungen%9</translation>
    </message>
    <message>
        <source>
Flags: %1</source>
        <translation>
Hinweise: %1</translation>
    </message>
    <message>
        <source>Line of bearing of %1: %2° true at %3 MHz, %4 s old</source>
        <translation>Peilstrahl von %1: %2° rechtweisend auf %3 MHz, %4 s alt</translation>
    </message>
    <message>
        <source>No station heard on the broker yet</source>
        <translation>Noch keine Station am Broker gehört</translation>
    </message>
    <message>
        <source>sender</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>receiver</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>stand-alone</source>
        <translation>eigenständig</translation>
    </message>
    <message>
        <source> → %1 MHz</source>
        <translation> → %1 MHz</translation>
    </message>
    <message>
        <source>
Tuned to it: %1</source>
        <translation>
Darauf abgestimmt: %1</translation>
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
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>failing</source>
        <translation>gestört</translation>
    </message>
    <message>
        <source>not open</source>
        <translation>nicht geöffnet</translation>
    </message>
    <message>
        <source>recovered</source>
        <translation>wieder in Betrieb</translation>
    </message>
    <message>
        <source>delivering</source>
        <translation>liefert</translation>
    </message>
</context>
<context>
    <name>OutputWatch</name>
    <message>
        <source>sentence file</source>
        <translation>Satzdatei</translation>
    </message>
    <message>
        <source>serial line</source>
        <translation>serielle Leitung</translation>
    </message>
    <message>
        <source>broker</source>
        <translation>Broker</translation>
    </message>
    <message>
        <source>bearing file</source>
        <translation>Peilungsdatei</translation>
    </message>
</context>
<context>
    <name>PolarView</name>
    <message>
        <source>%1 MHz (%2)
Bearing %3° true, %4° from the bow at heading %5°
Elevation %6°, quality %7, level %8 dBµV
%9 UTC</source>
        <translation>%1 MHz (%2)
Peilung %3° rechtweisend, %4° vom Bug bei Kurs %5°
Elevation %6°, Qualität %7, Pegel %8 dBµV
%9 UTC</translation>
    </message>
</context>
<context>
    <name>StationStatePanel</name>
    <message>
        <source>Station %1, %2</source>
        <translation>Station %1, %2</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>Outputs: %1</source>
        <translation>Ausgaben: %1</translation>
    </message>
    <message>
        <source>tuned to %1 MHz</source>
        <translation>abgestimmt auf %1 MHz</translation>
    </message>
    <message>
        <source>waiting for a handover</source>
        <translation>wartet auf eine Übergabe</translation>
    </message>
    <message>
        <source>not tuned</source>
        <translation>nicht abgestimmt</translation>
    </message>
    <message>
        <source>no broker</source>
        <translation>kein Broker</translation>
    </message>
    <message>
        <source>broker lost</source>
        <translation>Broker verloren</translation>
    </message>
    <message>
        <source>broker connected</source>
        <translation>Broker verbunden</translation>
    </message>
    <message>
        <source>broker connecting</source>
        <translation>Broker: Verbindung wird aufgebaut</translation>
    </message>
    <message>
        <source>kvtconsole — %1 (%2)</source>
        <translation>kvtconsole — %1 (%2)</translation>
    </message>
</context>
</TS>
