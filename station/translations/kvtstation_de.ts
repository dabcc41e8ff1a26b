<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>PolarGeometry</name>
    <message>
        <source>filtered by the device</source>
        <translation>vom Gerät ausgefiltert</translation>
    </message>
    <message>
        <source>Bow %1°</source>
        <translation>Bug %1°</translation>
    </message>
    <message>
        <source>N</source>
        <comment>north</comment>
        <translation>N</translation>
    </message>
    <message>
        <source>E</source>
        <comment>east</comment>
        <translation>O</translation>
    </message>
    <message>
        <source>S</source>
        <comment>south</comment>
        <translation>S</translation>
    </message>
    <message>
        <source>W</source>
        <comment>west</comment>
        <translation>W</translation>
    </message>
</context>
<context>
    <name>StationSummary</name>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Simulated time:</source>
        <translation>Simulierte Zeit:</translation>
    </message>
    <message>
        <source>Bearings produced:</source>
        <translation>Peilungen erzeugt:</translation>
    </message>
    <message>
        <source>Sentences written:</source>
        <translation>Sätze geschrieben:</translation>
    </message>
    <message>
        <source>Commands logged:</source>
        <translation>Befehle protokolliert:</translation>
    </message>
    <message>
        <source>Hardware missing:</source>
        <translation>Hardware fehlt:</translation>
    </message>
    <message>
        <source>Hardware unknown:</source>
        <translation>Hardware unbekannt:</translation>
    </message>
    <message>
        <source>ZOD sender:</source>
        <translation>ZOD-Sender:</translation>
    </message>
    <message>
        <source>ZOD receiver:</source>
        <translation>ZOD-Empfänger:</translation>
    </message>
    <message>
        <source>Scenario station:</source>
        <translation>Szenario-Station:</translation>
    </message>
    <message>
        <source>accepted:</source>
        <translation>angenommen:</translation>
    </message>
    <message>
        <source>tuned:</source>
        <translation>abgestimmt:</translation>
    </message>
    <message>
        <source>sentence file:</source>
        <translation>Satzdatei:</translation>
    </message>
    <message>
        <source>serial line:</source>
        <translation>serielle Leitung:</translation>
    </message>
    <message>
        <source>command log:</source>
        <translation>Befehlsprotokoll:</translation>
    </message>
    <message>
        <source>polar plot:</source>
        <translation>Polardiagramm:</translation>
    </message>
    <message>
        <source>not configured</source>
        <translation>nicht eingerichtet</translation>
    </message>
    <message>
        <source>client module not found</source>
        <translation>Client-Modul nicht gefunden</translation>
    </message>
    <message>
        <source>login refused by %1: %2</source>
        <translation>Anmeldung von %1 abgewiesen: %2</translation>
    </message>
    <message>
        <source>connected to %1</source>
        <translation>verbunden mit %1</translation>
    </message>
    <message>
        <source>never connected to %1</source>
        <translation>nie verbunden mit %1</translation>
    </message>
    <message>
        <source>; handovers applied %1, coalesced %2, ignored: unfollowed %3, out of range %4, malformed %5, unknown tag %6; refused %7</source>
        <translation>; Übergaben angewandt %1, zusammengefasst %2, ignoriert: nicht verfolgt %3, außerhalb des Bereichs %4, fehlerhaft %5, unbekannte Kennung %6; abgelehnt %7</translation>
    </message>
    <message>
        <source>%1 of %2 s</source>
        <translation>%1 von %2 s</translation>
    </message>
    <message>
        <source>, stopped by %1</source>
        <translation>, beendet durch %1</translation>
    </message>
    <message>
        <source>rejected, </source>
        <translation>verworfen, </translation>
    </message>
    <message>
        <source>%1 of %2 delivered, %3 lost</source>
        <translation>%1 von %2 zugestellt, %3 verloren</translation>
    </message>
    <message>
        <source>, never open</source>
        <translation>, nie geöffnet</translation>
    </message>
    <message>
        <source>; last failure: %1</source>
        <translation>; letzter Fehler: %1</translation>
    </message>
    <message>
        <source>%1 in %2 file(s)</source>
        <translation>%1 in %2 Datei(en)</translation>
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
        <source>%1 MHz at %2 s</source>
        <translation>%1 MHz bei %2 s</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Outputs</source>
        <translation>Ausgaben</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Satzdatei</translation>
    </message>
    <message>
        <source>serial</source>
        <translation>serielle Leitung</translation>
    </message>
    <message>
        <source>broker</source>
        <translation>Broker</translation>
    </message>
    <message>
        <source>bearings</source>
        <translation>Peilungsdatei</translation>
    </message>
</context>
<context>
    <name>TextPrinter</name>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Representative frequency ranges</source>
        <translation>Repräsentative Frequenzbereiche</translation>
    </message>
    <message>
        <source>configuration</source>
        <translation>Konfiguration</translation>
    </message>
    <message>
        <source>; built-in default station stored</source>
        <translation>; eingebaute Standardstation gespeichert</translation>
    </message>
    <message>
        <source>device type</source>
        <translation>Gerätetyp</translation>
    </message>
    <message>
        <source>options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>channels</source>
        <translation>Kanäle</translation>
    </message>
    <message>
        <source>preamplifiers</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <source>HF %1, VUHF %2</source>
        <translation>HF %1, VUHF %2</translation>
    </message>
    <message>
        <source>converter switch</source>
        <translation>Konverterumschaltung</translation>
    </message>
    <message>
        <source>VUHF from %1</source>
        <translation>VUHF ab %1</translation>
    </message>
    <message>
        <source>, HF up to %1</source>
        <translation>, HF bis %1</translation>
    </message>
    <message>
        <source>Station %1</source>
        <translation>Station %1</translation>
    </message>
    <message>
        <source>Antenna setup: %1</source>
        <translation>Antennenkonfiguration: %1</translation>
    </message>
    <message>
        <source>repair done: %1</source>
        <translation>Reparatur ausgeführt: %1</translation>
    </message>
    <message>
        <source>repair failed: %1</source>
        <translation>Reparatur fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>enabled</source>
        <translation>aktiv</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>inaktiv</translation>
    </message>
    <message>
        <source>used %1 - %2 (nominal %3 - %4), %5, %6, DF %7</source>
        <translation>genutzt %1 - %2 (nominell %3 - %4), %5, %6, DF %7</translation>
    </message>
    <message>
        <source>, polarisation %1</source>
        <translation>, Polarisation %1</translation>
    </message>
    <message>
        <source>, NOT SUPPORTED by the device</source>
        <translation>, vom Gerät NICHT UNTERSTÜTZT</translation>
    </message>
    <message>
        <source>Frequency limits per operation mode</source>
        <translation>Frequenzgrenzen je Betriebsart</translation>
    </message>
    <message>
        <source>mode %1</source>
        <translation>Betriebsart %1</translation>
    </message>
    <message>
        <source>%1 %2 - %3: antenna %4 (%5), DF methods %6, polarisations %7</source>
        <translation>%1 %2 - %3: Antenne %4 (%5), DF-Verfahren %6, Polarisationen %7</translation>
    </message>
    <message>
        <source>no sample mode</source>
        <translation>keine Abtastart</translation>
    </message>
    <message>
        <source>sample mode %1, default realtime bandwidth %2</source>
        <translation>Abtastart %1, Standard-Echtzeitbandbreite %2</translation>
    </message>
    <message>
        <source>realtime %1 resolution %2 (default %3)</source>
        <translation>Echtzeit %1 Auflösung %2 (Standard %3)</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
</context>
</TS>
