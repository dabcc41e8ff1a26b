<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DFDataOutput</name>
    <message>
        <source>RS232</source>
        <translation>RS232</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Filename:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Output interval (ms):</source>
        <translation>Ausgabeintervall (ms):</translation>
    </message>
</context>
<context>
    <name>FileSentenceSink</name>
    <message>
        <source>The file is not open.</source>
        <translation>Die Datei ist nicht geöffnet.</translation>
    </message>
</context>
<context>
    <name>FilterRejectCounter</name>
    <message>
        <source>Platform tilt</source>
        <translation>Plattformneigung</translation>
    </message>
    <message>
        <source>Overhead pass</source>
        <translation>Überflug</translation>
    </message>
    <message>
        <source>No quality</source>
        <translation>Kein Qualitätswert</translation>
    </message>
</context>
<context>
    <name>KVTCharacteristics</name>
    <message>
        <source>No antennas connected to device.</source>
        <translation>Keine Antennen mit dem Gerät verbunden.</translation>
    </message>
    <message>
        <source>Antenna %1 (%2 MHz - %3 MHz) is not supported by the KVT device with the currently installed options. It must be disabled.</source>
        <translation>Die Antenne %1 (%2 MHz - %3 MHz) wird vom KVT-Gerät mit den derzeit installierten Optionen nicht unterstützt. Sie muss deaktiviert werden.</translation>
    </message>
    <message>
        <source>Frequency range is not entirely covered without gaps.</source>
        <translation>Der Frequenzbereich ist nicht lückenlos abgedeckt.</translation>
    </message>
    <message>
        <source>Frequency ranges are overlapping.</source>
        <translation>Die Frequenzbereiche überlappen sich.</translation>
    </message>
    <message>
        <source>No antennas enabled.</source>
        <translation>Keine Antennen aktiviert.</translation>
    </message>
    <message>
        <source>Antenna setup is valid.</source>
        <translation>Die Antennenkonfiguration ist gültig.</translation>
    </message>
    <message>
        <source>Antenna setup is already valid. Nothing changed.</source>
        <translation>Die Antennenkonfiguration ist bereits gültig. Es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>No antenna is supported by device.</source>
        <translation>Keine Antenne wird vom Gerät unterstützt.</translation>
    </message>
    <message>
        <source>Auto configuration of antennas successfully covered range from %1 MHz to %2 MHz.</source>
        <translation>Die automatische Antennenkonfiguration hat den Bereich von %1 MHz bis %2 MHz erfolgreich abgedeckt.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Pitch/Roll value exceeds threshold.</source>
        <translation>Nick- oder Rollwinkel überschreitet den Grenzwert.</translation>
    </message>
</context>
<context>
    <name>SerialSentenceSink</name>
    <message>
        <source>The output was closed before the line took the sentence.</source>
        <translation>Die Ausgabe wurde geschlossen, bevor die Leitung den Satz übernommen hat.</translation>
    </message>
    <message>
        <source>The line is not open.</source>
        <translation>Die Leitung ist nicht geöffnet.</translation>
    </message>
    <message>
        <source>The line is down: %1</source>
        <translation>Die Leitung ist ausgefallen: %1</translation>
    </message>
    <message>
        <source>Too many bytes wait for the line.</source>
        <translation>Zu viele Bytes warten auf die Leitung.</translation>
    </message>
    <message>
        <source>At %1 baud the line carries about %2 characters a second, fewer than the sentences need.</source>
        <translation>Bei %1 Baud überträgt die Leitung etwa %2 Zeichen pro Sekunde, weniger als die Sätze brauchen.</translation>
    </message>
</context>
</TS>
