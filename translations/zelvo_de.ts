<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>DialogButtons</name>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>GatewayAddress</name>
    <message>
        <source>No network adapter on the local computer.</source>
        <translation>Dieser Computer hat keinen Netzwerkadapter.</translation>
    </message>
    <message>
        <source>System Error.  Code: %1.</source>
        <translation>Systemfehler.  Code: %1.</translation>
    </message>
</context>
<context>
    <name>OscMessages</name>
    <message>
        <source>Index out of range</source>
        <translation>Index außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>Argument cannot be null</source>
        <translation>Das Argument darf nicht null sein</translation>
    </message>
    <message>
        <source>Buffer size must be &gt;= 0</source>
        <translation>Die Puffergröße muss &gt;= 0 sein</translation>
    </message>
    <message>
        <source>Invalid buffer capacity</source>
        <translation>Ungültige Puffergröße</translation>
    </message>
    <message>
        <source>Not enough space: %1 available, %2 needed.</source>
        <translation>Nicht genug Platz: %1 frei, %2 benötigt.</translation>
    </message>
    <message>
        <source>Invalid packet size</source>
        <translation>Ungültige Paketgröße</translation>
    </message>
    <message>
        <source>Invalid format "%1"</source>
        <translation>Ungültiges Format „%1“</translation>
    </message>
    <message>
        <source>Cannot create file "%1". %2</source>
        <translation>Die Datei „%1“ kann nicht angelegt werden. %2</translation>
    </message>
    <message>
        <source>Cannot write file "%1". %2</source>
        <translation>Die Datei „%1“ kann nicht geschrieben werden. %2</translation>
    </message>
    <message>
        <source>Cannot write the samples</source>
        <translation>Die Messwerte können nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Invalid signal</source>
        <translation>Ungültiges Signal</translation>
    </message>
    <message>
        <source>Can't change value while socket is active</source>
        <translation>Der Wert kann nicht geändert werden, solange die Verbindung besteht</translation>
    </message>
    <message>
        <source>Invalid IPv4 address: %1</source>
        <translation>Ungültige IPv4-Adresse: %1</translation>
    </message>
    <message>
        <source>Invalid port: %1</source>
        <translation>Ungültiger Port: %1</translation>
    </message>
    <message>
        <source>Port %1 does not exist.</source>
        <translation>Die Schnittstelle %1 gibt es nicht.</translation>
    </message>
    <message>
        <source>Port %1 is in use by another program or access is denied.</source>
        <translation>Die Schnittstelle %1 wird von einem anderen Programm benutzt, oder der Zugriff wird verweigert.</translation>
    </message>
    <message>
        <source>Cannot open port %1: %2</source>
        <translation>Die Schnittstelle %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Cannot open file "%1". %2</source>
        <translation>Die Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>Cannot read file "%1". %2</source>
        <translation>Die Datei „%1“ kann nicht gelesen werden. %2</translation>
    </message>
    <message>
        <source>File "%1", line %2: %3</source>
        <translation>Datei „%1“, Zeile %2: %3</translation>
    </message>
    <message>
        <source>File "%1" is not a Zelvo recording</source>
        <translation>Die Datei „%1“ ist kein Zelvo-Mitschnitt</translation>
    </message>
    <message>
        <source>File "%1" is a recording of format version %2; this program reads version %3</source>
        <translation>Die Datei „%1“ ist ein Mitschnitt im Format der Version %2; dieses Programm liest Version %3</translation>
    </message>
    <message>
        <source>Can't change the recording while it plays</source>
        <translation>Der Mitschnitt kann während der Wiedergabe nicht gewechselt werden</translation>
    </message>
    <message>
        <source>far too long for the parameters of a capture</source>
        <translation>viel zu lang für die Parameter einer Aufzeichnung</translation>
    </message>
    <message>
        <source>not the parameters of a capture (a JSON object is expected)</source>
        <translation>nicht die Parameter einer Aufzeichnung (ein JSON-Objekt wird erwartet)</translation>
    </message>
    <message>
        <source>"Channels" holds %1 entry; a capture has 2 channels</source>
        <translation>„Channels“ enthält %1 Eintrag; eine Aufzeichnung hat 2 Kanäle</translation>
    </message>
    <message>
        <source>"Channels" holds %1 entries; a capture has 2 channels</source>
        <translation>„Channels“ enthält %1 Einträge; eine Aufzeichnung hat 2 Kanäle</translation>
    </message>
    <message>
        <source>"%1" is missing</source>
        <translation>„%1“ fehlt</translation>
    </message>
    <message>
        <source>"%1" should be %2, not %3</source>
        <translation>„%1“ sollte %2 sein, nicht %3</translation>
    </message>
    <message>
        <source>"TimeScale" is %1, not a time base of the scope</source>
        <translation>„TimeScale“ ist %1, keine Zeitbasis des Oszilloskops</translation>
    </message>
    <message>
        <source>"Scale" is %1, not a scale of the scope with probe %2</source>
        <translation>„Scale“ ist %1, kein Messbereich des Oszilloskops mit Tastkopf %2</translation>
    </message>
    <message>
        <source>"Level" is %1, not a voltage like "-2.50V"</source>
        <translation>„Level“ ist %1, keine Spannung wie „-2.50V“</translation>
    </message>
    <message>
        <source>"Level" is %1 on a channel that is switched off</source>
        <translation>„Level“ ist %1 bei einem ausgeschalteten Kanal</translation>
    </message>
    <message>
        <source>"Level" is %1, not %2 at %3</source>
        <translation>„Level“ ist %1, nicht %2 bei %3</translation>
    </message>
    <message>
        <source>"%1" is %2, not a whole number from %3 to %4</source>
        <translation>„%1“ ist %2, keine ganze Zahl von %3 bis %4</translation>
    </message>
    <message>
        <source>"%1" is %2, not %3</source>
        <translation>„%1“ ist %2, nicht %3</translation>
    </message>
    <message>
        <source>channel %1 is not an object</source>
        <translation>Kanal %1 ist kein Objekt</translation>
    </message>
    <message>
        <source>the channels are listed out of order (channel 1, then channel 2)</source>
        <translation>die Kanäle stehen in falscher Reihenfolge (erst Kanal 1, dann Kanal 2)</translation>
    </message>
    <message>
        <source>channel %1 is on with the scale %2</source>
        <translation>Kanal %1 ist eingeschaltet, mit dem Messbereich %2</translation>
    </message>
    <message>
        <source>channel %1 is off with the scale %2</source>
        <translation>Kanal %1 ist ausgeschaltet, mit dem Messbereich %2</translation>
    </message>
    <message>
        <source>the trigger's "Coupling" is not that of its source, channel %1</source>
        <translation>„Coupling“ des Triggers ist nicht die seiner Quelle, Kanal %1</translation>
    </message>
    <message>
        <source>a zero line of channel %1</source>
        <translation>eine Nulllinie von Kanal %1</translation>
    </message>
    <message>
        <source>a trigger level</source>
        <translation>ein Triggerpegel</translation>
    </message>
    <message>
        <source>the file is empty; a capture has %1 lines</source>
        <translation>die Datei ist leer; eine Aufzeichnung hat %1 Zeilen</translation>
    </message>
    <message>
        <source>the file ends after %1 lines; a capture has %2</source>
        <translation>die Datei endet nach %1 Zeilen; eine Aufzeichnung hat %2</translation>
    </message>
    <message>
        <source>the line is too long for two voltages</source>
        <translation>die Zeile ist zu lang für zwei Spannungen</translation>
    </message>
    <message>
        <source>the line has no end; the file is cut short</source>
        <translation>die Zeile hat kein Ende; die Datei ist abgeschnitten</translation>
    </message>
    <message>
        <source>more lines than the %1 of a capture</source>
        <translation>mehr Zeilen als die %1 einer Aufzeichnung</translation>
    </message>
    <message>
        <source>%1 value in %2; a line holds two voltages separated by ";"</source>
        <translation>%1 Wert in %2; eine Zeile enthält zwei durch „;“ getrennte Spannungen</translation>
    </message>
    <message>
        <source>%1 values in %2; a line holds two voltages separated by ";"</source>
        <translation>%1 Werte in %2; eine Zeile enthält zwei durch „;“ getrennte Spannungen</translation>
    </message>
    <message>
        <source>channel %1 is switched off but reads %2; "%3" does not belong to this capture</source>
        <translation>Kanal %1 ist ausgeschaltet, zeigt aber %2; „%3“ gehört nicht zu dieser Aufzeichnung</translation>
    </message>
    <message>
        <source>%1 is not a voltage channel %2 shows at %3; "%4" does not belong to this capture</source>
        <translation>%1 ist keine Spannung, die Kanal %2 bei %3 zeigen kann; „%4“ gehört nicht zu dieser Aufzeichnung</translation>
    </message>
    <message>
        <source>%1 is not a voltage</source>
        <translation>%1 ist keine Spannung</translation>
    </message>
    <message>
        <source>text after the end of the JSON value</source>
        <translation>Text nach dem Ende des JSON-Werts</translation>
    </message>
    <message>
        <source>"%1" expected</source>
        <translation>„%1“ erwartet</translation>
    </message>
    <message>
        <source>JSON nested too deeply</source>
        <translation>JSON zu tief verschachtelt</translation>
    </message>
    <message>
        <source>the JSON text ends where a value is expected</source>
        <translation>der JSON-Text endet, wo ein Wert erwartet wird</translation>
    </message>
    <message>
        <source>a member name in quotes expected</source>
        <translation>ein Elementname in Anführungszeichen erwartet</translation>
    </message>
    <message>
        <source>not a JSON value</source>
        <translation>kein JSON-Wert</translation>
    </message>
    <message>
        <source>a malformed number</source>
        <translation>eine fehlerhafte Zahl</translation>
    </message>
    <message>
        <source>a malformed \u escape</source>
        <translation>eine fehlerhafte \u-Escape-Sequenz</translation>
    </message>
    <message>
        <source>a text without its closing quote</source>
        <translation>ein Text ohne schließendes Anführungszeichen</translation>
    </message>
    <message>
        <source>a line break inside a text</source>
        <translation>ein Zeilenumbruch in einem Text</translation>
    </message>
    <message>
        <source>an unknown escape \%1</source>
        <translation>eine unbekannte Escape-Sequenz \%1</translation>
    </message>
    <message>
        <source>null</source>
        <translation>null</translation>
    </message>
    <message>
        <source>true or false</source>
        <translation>true oder false</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>eine Zahl</translation>
    </message>
    <message>
        <source>a text</source>
        <translation>ein Text</translation>
    </message>
    <message>
        <source>a list</source>
        <translation>eine Liste</translation>
    </message>
    <message>
        <source>an object</source>
        <translation>ein Objekt</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 oder %2</translation>
    </message>
</context>
<context>
    <name>StartConnection</name>
    <message>
        <source>Connect over WiFi to the scope at HOST (dotted IPv4) and PORT (default %1) at start, as if confirmed in the WiFi dialog.</source>
        <translation>Beim Start über WLAN mit dem Oszilloskop unter HOST (IPv4-Adresse in Punktschreibweise) und PORT (Vorgabe %1) verbinden, als wäre der WLAN-Dialog bestätigt worden.</translation>
    </message>
    <message>
        <source>Connect over USB to the scope's serial PORT (e.g. ttyACM0) at start, as if confirmed in the USB dialog.</source>
        <translation>Beim Start über USB mit der seriellen Schnittstelle PORT des Oszilloskops (z. B. ttyACM0) verbinden, als wäre der USB-Dialog bestätigt worden.</translation>
    </message>
    <message>
        <source>Choose either --wifi or --usb, not both.</source>
        <translation>Bitte entweder --wifi oder --usb angeben, nicht beides.</translation>
    </message>
    <message>
        <source>--wifi expects HOST[:PORT] with a dotted IPv4 address and a port of 1 to 65535, not '%1'.</source>
        <translation>--wifi erwartet HOST[:PORT] mit einer IPv4-Adresse in Punktschreibweise und einem Port von 1 bis 65535, nicht „%1“.</translation>
    </message>
    <message>
        <source>--usb expects the name of a serial port.</source>
        <translation>--usb erwartet den Namen einer seriellen Schnittstelle.</translation>
    </message>
    <message>
        <source>A capture to show at start: its samples file (.csv) or its parameters file (.json), as written by the export.</source>
        <translation>Eine Aufzeichnung, die beim Start gezeigt wird: ihre Messwertdatei (.csv) oder ihre Parameterdatei (.json), wie der Export sie schreibt.</translation>
    </message>
    <message>
        <source>Give one capture file, not %1.</source>
        <translation>Bitte nur eine Aufzeichnungsdatei angeben, nicht %1.</translation>
    </message>
    <message>
        <source>Choose either a capture file or a connection, not both.</source>
        <translation>Entweder eine Aufzeichnungsdatei oder eine Verbindung wählen, nicht beides.</translation>
    </message>
</context>
<context>
    <name>TAboutDialog</name>
    <message>
        <source>License: GNU GPL v3 or later</source>
        <translation>Lizenz: GNU GPL v3 oder neuer</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>TAnalysis</name>
    <message>
        <source>Rectangular</source>
        <translation>Rechteck</translation>
    </message>
    <message>
        <source>Hann</source>
        <translation>Hann</translation>
    </message>
    <message>
        <source>Hamming</source>
        <translation>Hamming</translation>
    </message>
    <message>
        <source>Blackman-Harris</source>
        <translation>Blackman-Harris</translation>
    </message>
    <message>
        <source>Flat top</source>
        <translation>Flat-Top</translation>
    </message>
    <message>
        <source>&amp;Spectrum</source>
        <translation>&amp;Spektrum</translation>
    </message>
    <message>
        <source>SPECTRUM</source>
        <translation>SPEKTRUM</translation>
    </message>
    <message>
        <source>&amp;XY</source>
        <translation>&amp;XY</translation>
    </message>
    <message>
        <source>Spectrum &amp;window</source>
        <translation>Spektrum-&amp;Fenster</translation>
    </message>
</context>
<context>
    <name>TApplicationSettings</name>
    <message>
        <source>Invalid data type for '%1'</source>
        <translation>Ungültiger Datentyp für „%1“</translation>
    </message>
    <message>
        <source>Failed to set data for '%1'</source>
        <translation>„%1“ konnte nicht gespeichert werden</translation>
    </message>
</context>
<context>
    <name>TCalibrationForm</name>
    <message>
        <source>Calibration in progress...</source>
        <translation>Kalibrierung läuft...</translation>
    </message>
    <message>
        <source>Calibrating</source>
        <translation>Kalibrierung</translation>
    </message>
    <message>
        <source>Please wait while your scope calibrates itself...

This window will be closed automatically when calibration is complete.</source>
        <translation>Bitte warten Sie, während sich das Oszilloskop kalibriert...

Dieses Fenster schließt sich von selbst, sobald die Kalibrierung abgeschlossen ist.</translation>
    </message>
</context>
<context>
    <name>TCaptureExport</name>
    <message>
        <source>CSV-file (*.csv)</source>
        <translation>CSV-Datei (*.csv)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Failed to save to file: %1</source>
        <translation>Speichern fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Sample buffer saved to '%1'</source>
        <translation>Die Messwerte wurden in „%1“ gespeichert</translation>
    </message>
</context>
<context>
    <name>TChannelStrip</name>
    <message>
        <source>Vdc</source>
        <translation>Vdc</translation>
    </message>
    <message>
        <source>Vmin</source>
        <translation>Vmin</translation>
    </message>
    <message>
        <source>Vmax</source>
        <translation>Vmax</translation>
    </message>
    <message>
        <source>Vpp</source>
        <translation>Vss</translation>
    </message>
    <message>
        <source>Vrms</source>
        <translation>Veff</translation>
    </message>
    <message>
        <source>Vtrms</source>
        <translation>Vteff</translation>
    </message>
    <message>
        <source>dBm</source>
        <translation>dBm</translation>
    </message>
    <message>
        <source>dBgain</source>
        <translation>dBVerst</translation>
    </message>
    <message>
        <source>Wrms2</source>
        <translation>Weff2</translation>
    </message>
    <message>
        <source>Wrms4</source>
        <translation>Weff4</translation>
    </message>
    <message>
        <source>Wrms8</source>
        <translation>Weff8</translation>
    </message>
    <message>
        <source>Wrms16</source>
        <translation>Weff16</translation>
    </message>
    <message>
        <source>Wrms32</source>
        <translation>Weff32</translation>
    </message>
    <message>
        <source>Probe X1</source>
        <translation>Tastkopf X1</translation>
    </message>
    <message>
        <source>Probe X10</source>
        <translation>Tastkopf X10</translation>
    </message>
    <message>
        <source>Battery low</source>
        <translation>Akku schwach</translation>
    </message>
    <message>
        <source>Battery charging</source>
        <translation>Akku wird geladen</translation>
    </message>
    <message>
        <source>Battery full</source>
        <translation>Akku voll</translation>
    </message>
    <message>
        <source>CH%1</source>
        <translation>CH%1</translation>
    </message>
    <message>
        <source>AC</source>
        <translation>AC</translation>
    </message>
    <message>
        <source>DC</source>
        <translation>DC</translation>
    </message>
    <message>
        <source>GND</source>
        <translation>GND</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>%1/div</source>
        <translation>%1/Div</translation>
    </message>
    <message>
        <source>Freq</source>
        <translation>Freq</translation>
    </message>
    <message>
        <source>Period</source>
        <translation>Periode</translation>
    </message>
    <message>
        <source>Duty</source>
        <translation>Tastgrad</translation>
    </message>
    <message>
        <source>+Width</source>
        <translation>+Breite</translation>
    </message>
    <message>
        <source>-Width</source>
        <translation>-Breite</translation>
    </message>
    <message>
        <source>Rise</source>
        <translation>Anstieg</translation>
    </message>
    <message>
        <source>Fall</source>
        <translation>Abfall</translation>
    </message>
</context>
<context>
    <name>TConfigDialog</name>
    <message>
        <source>ConfigDialog</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;General</source>
        <translation>All&amp;gemein</translation>
    </message>
    <message>
        <source>Rendering</source>
        <translation>Darstellung</translation>
    </message>
    <message>
        <source>Limit framerate:</source>
        <translation>Bildrate begrenzen:</translation>
    </message>
    <message>
        <source>fps</source>
        <translation>fps</translation>
    </message>
    <message>
        <source>(0 = no limit)</source>
        <translation>(0 = keine Begrenzung)</translation>
    </message>
</context>
<context>
    <name>TLinkSupervisor</name>
    <message>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>WiFi %1:%2</source>
        <translation>WLAN %1:%2</translation>
    </message>
    <message>
        <source>USB %1</source>
        <translation>USB %1</translation>
    </message>
    <message>
        <source>%1 connecting</source>
        <translation>%1 wird verbunden</translation>
    </message>
    <message>
        <source>%1 connected</source>
        <translation>%1 verbunden</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 lost, retrying in %2 s</source>
        <translation>%1 verloren, neuer Versuch in %2 s</translation>
    </message>
    <message>
        <source>%1 lost, reconnecting</source>
        <translation>%1 verloren, wird neu verbunden</translation>
    </message>
    <message>
        <source>%1 unplugged, waiting for the scope</source>
        <translation>%1 abgezogen, warte auf das Oszilloskop</translation>
    </message>
    <message>
        <source>%1 disconnected</source>
        <translation>%1 getrennt</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>&amp;WiFi...</source>
        <translation>&amp;WLAN...</translation>
    </message>
    <message>
        <source>&amp;USB...</source>
        <translation>&amp;USB...</translation>
    </message>
    <message>
        <source>&amp;Demo</source>
        <translation>&amp;Demo</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation>&amp;Exportieren...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Optionen...</translation>
    </message>
    <message>
        <source>&amp;Wifi settings...</source>
        <translation>&amp;WLAN-Einstellungen...</translation>
    </message>
    <message>
        <source>&amp;Calibrate your ZELVO</source>
        <translation>ZELVO &amp;kalibrieren</translation>
    </message>
    <message>
        <source>&amp;Debug mode on/off</source>
        <translation>&amp;Debug-Modus ein/aus</translation>
    </message>
    <message>
        <source>&amp;Index...</source>
        <translation>&amp;Inhalt...</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Verbinden</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Werkzeuge</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Demo mode, press Connect to connect to your scope via WLAN or USB.</source>
        <translation>Demo-Modus: Verbinden drücken, um das Oszilloskop über WLAN oder USB zu verbinden.</translation>
    </message>
    <message>
        <source>Demo</source>
        <translation>Demo</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>An error occured when trying to connect</source>
        <translation>Beim Verbinden ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <source>Unable to connect to %1.</source>
        <translation>Verbindung zu %1 nicht möglich.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Please make sure all probes are disconnected prior to calibration.</source>
        <translation>Bitte vor dem Kalibrieren alle Tastköpfe abziehen.</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Capture file</source>
        <translation>Aufzeichnung aus Datei</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>&amp;Open capture...</source>
        <translation>Aufzeichnung ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>O&amp;pen recording...</source>
        <translation>&amp;Mitschnitt abspielen...</translation>
    </message>
    <message>
        <source>&amp;Record...</source>
        <translation>Mit&amp;schneiden...</translation>
    </message>
    <message>
        <source>&amp;Stop recording</source>
        <translation>Mitschnitt s&amp;toppen</translation>
    </message>
    <message>
        <source>Capture (*.csv *.json);;All files (*)</source>
        <translation>Aufzeichnung (*.csv *.json);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Capture %1 from a file; press Connect to connect to your scope via WLAN or USB.</source>
        <translation>Aufzeichnung %1 aus einer Datei: Verbinden drücken, um das Oszilloskop über WLAN oder USB zu verbinden.</translation>
    </message>
    <message>
        <source>Zelvo recording (*.zrec);;All files (*)</source>
        <translation>Zelvo-Mitschnitt (*.zrec);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Save p&amp;icture...</source>
        <translation>Bi&amp;ld speichern...</translation>
    </message>
    <message>
        <source>&amp;Copy picture</source>
        <translation>Bild &amp;kopieren</translation>
    </message>
</context>
<context>
    <name>TMathStrip</name>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>CH1+CH2</source>
        <translation>K1+K2</translation>
    </message>
    <message>
        <source>CH1-CH2</source>
        <translation>K1-K2</translation>
    </message>
    <message>
        <source>CH2-CH1</source>
        <translation>K2-K1</translation>
    </message>
    <message>
        <source>CH1×CH2</source>
        <translation>K1×K2</translation>
    </message>
    <message>
        <source>MATH</source>
        <translation>MATH</translation>
    </message>
    <message>
        <source>&amp;Math</source>
        <translation>&amp;Mathematik</translation>
    </message>
    <message>
        <source>%1/div</source>
        <translation>%1/Div</translation>
    </message>
</context>
<context>
    <name>TOscSpectrumView</name>
    <message>
        <source>CH%1 peak: -</source>
        <translation>K%1 Spitze: -</translation>
    </message>
    <message>
        <source>CH%1 peak: %2, %3</source>
        <translation>K%1 Spitze: %2, %3</translation>
    </message>
    <message>
        <source>Marker: %1</source>
        <translation>Marker: %1</translation>
    </message>
    <message>
        <source>, CH%1 %2</source>
        <translation>, K%1 %2</translation>
    </message>
</context>
<context>
    <name>TRecordingControl</name>
    <message>
        <source>Zelvo recording (*.zrec)</source>
        <translation>Zelvo-Mitschnitt (*.zrec)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>recording %1 frames, %2</source>
        <translation>Mitschnitt: %1 Frames, %2</translation>
    </message>
    <message>
        <source>The recording stopped: %1</source>
        <translation>Der Mitschnitt wurde beendet: %1</translation>
    </message>
</context>
<context>
    <name>TReferenceControl</name>
    <message>
        <source>&amp;Keep as reference</source>
        <translation>Als &amp;Referenz behalten</translation>
    </message>
    <message>
        <source>&amp;Clear reference</source>
        <translation>Referenz &amp;löschen</translation>
    </message>
</context>
<context>
    <name>TReplayBar</name>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Schritt</translation>
    </message>
    <message>
        <source>Play up to the end of the next capture, then pause</source>
        <translation>Bis zum Ende der nächsten Aufzeichnung abspielen, dann anhalten</translation>
    </message>
    <message>
        <source>%1x</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>Replay stopped</source>
        <translation>Wiedergabe beendet</translation>
    </message>
    <message>
        <source>Replay ended: %1</source>
        <translation>Wiedergabe abgebrochen: %1</translation>
    </message>
    <message>
        <source>Replay finished; the last %1 bytes were cut short</source>
        <translation>Wiedergabe zu Ende; die letzten %1 Bytes waren unvollständig</translation>
    </message>
    <message>
        <source>Replay finished</source>
        <translation>Wiedergabe zu Ende</translation>
    </message>
    <message>
        <source>Replay paused</source>
        <translation>Wiedergabe angehalten</translation>
    </message>
    <message>
        <source>Replay playing</source>
        <translation>Wiedergabe läuft</translation>
    </message>
    <message>
        <source>Replay of %1</source>
        <translation>Wiedergabe von %1</translation>
    </message>
    <message>
        <source>%1 s, %2 frames, end</source>
        <translation>%1 s, %2 Frames, Ende</translation>
    </message>
    <message>
        <source>%1 s, %2 frames</source>
        <translation>%1 s, %2 Frames</translation>
    </message>
</context>
<context>
    <name>TScopePicture</name>
    <message>
        <source>PNG image (*.png);;SVG image (*.svg)</source>
        <translation>PNG-Bild (*.png);;SVG-Bild (*.svg)</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>the view drawn with OpenGL can be saved as PNG only</source>
        <translation>die mit OpenGL gezeichnete Ansicht lässt sich nur als PNG speichern</translation>
    </message>
    <message>
        <source>the view is not on screen</source>
        <translation>die Ansicht ist nicht auf dem Bildschirm</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Cannot save the picture to %1: %2.</source>
        <translation>Das Bild kann nicht unter %1 gespeichert werden: %2.</translation>
    </message>
</context>
<context>
    <name>TScopeStatusBar</name>
    <message>
        <source>%1 fps</source>
        <translation>%1 fps</translation>
    </message>
    <message>
        <source>CH%1: %2V</source>
        <translation>CH%1: %2V</translation>
    </message>
    <message>
        <source>Software drawing</source>
        <translation>Zeichnen ohne OpenGL</translation>
    </message>
</context>
<context>
    <name>TSideBar</name>
    <message>
        <source>&amp;Connect...</source>
        <translation>&amp;Verbinden...</translation>
    </message>
    <message>
        <source>RUN</source>
        <translation>FREILAUF</translation>
    </message>
    <message>
        <source>NORMAL</source>
        <translation>NORMAL</translation>
    </message>
    <message>
        <source>ONCE</source>
        <translation>EINZELN</translation>
    </message>
    <message>
        <source>HOLD</source>
        <translation>HALT</translation>
    </message>
    <message>
        <source>AUTO-RANGE</source>
        <translation>AUTO-BEREICH</translation>
    </message>
    <message>
        <source>Triggering</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>CH1</source>
        <translation>CH1</translation>
    </message>
    <message>
        <source>CH2</source>
        <translation>CH2</translation>
    </message>
    <message>
        <source>%1/div</source>
        <translation>%1/Div</translation>
    </message>
</context>
<context>
    <name>TTcpDialog</name>
    <message>
        <source>WiFi Connection</source>
        <translation>WLAN-Verbindung</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Host:</source>
        <translation>Host:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Select or enter the IP-address of your ZELVO</source>
        <translation>Wählen Sie die IP-Adresse Ihres ZELVO aus, oder geben Sie sie ein</translation>
    </message>
    <message>
        <source>'%1' is not a valid integer value</source>
        <translation>„%1“ ist keine gültige ganze Zahl</translation>
    </message>
</context>
<context>
    <name>TUsbDialog</name>
    <message>
        <source>USB Connection</source>
        <translation>USB-Verbindung</translation>
    </message>
    <message>
        <source>Connection settings</source>
        <translation>Verbindungseinstellungen</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Schnittstelle:</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>No devices could be found</source>
        <translation>Es wurden keine Geräte gefunden</translation>
    </message>
    <message>
        <source>Please select a device</source>
        <translation>Bitte wählen Sie ein Gerät aus</translation>
    </message>
</context>
<context>
    <name>TWarningDialog</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Probe ground and charger ground at different voltage level.</source>
        <translation>Die Masse des Tastkopfs und die Masse des Ladegeräts liegen auf unterschiedlichem Potenzial.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>TWifiDialog</name>
    <message>
        <source>Wifi Configuration</source>
        <translation>WLAN-Konfiguration</translation>
    </message>
    <message>
        <source>Configuration settings</source>
        <translation>Konfigurationseinstellungen</translation>
    </message>
    <message>
        <source>SSID:</source>
        <translation>SSID:</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>Kanal:</translation>
    </message>
    <message>
        <source>Firmware:</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>Build:</source>
        <translation>Build:</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Please enter a valid SSID</source>
        <translation>Bitte geben Sie eine gültige SSID ein</translation>
    </message>
</context>
<context>
    <name>UserManual</name>
    <message>
        <source>User manual</source>
        <translation>Benutzerhandbuch</translation>
    </message>
    <message>
        <source>The user manual is not installed: %1 is missing.</source>
        <translation>Das Benutzerhandbuch ist nicht installiert: %1 fehlt.</translation>
    </message>
    <message>
        <source>No program could open the user manual. Open %1 in a web browser.</source>
        <translation>Kein Programm konnte das Benutzerhandbuch öffnen. Öffnen Sie %1 in einem Webbrowser.</translation>
    </message>
</context>
<context>
    <name>ZelvoCapture</name>
    <message>
        <source>cannot connect to %1: %2</source>
        <translation>keine Verbindung zu %1: %2</translation>
    </message>
    <message>
        <source>cannot open the serial port: %1</source>
        <translation>die serielle Schnittstelle lässt sich nicht öffnen: %1</translation>
    </message>
    <message>
        <source>cannot find an IPv4 address for host %1: %2</source>
        <translation>keine IPv4-Adresse für den Rechner %1 gefunden: %2</translation>
    </message>
    <message>
        <source>cannot find an IPv4 address for host %1</source>
        <translation>keine IPv4-Adresse für den Rechner %1 gefunden</translation>
    </message>
    <message>
        <source>connection to %1 lost</source>
        <translation>Verbindung zu %1 verloren</translation>
    </message>
    <message>
        <source>connection to %1 lost: %2</source>
        <translation>Verbindung zu %1 verloren: %2</translation>
    </message>
    <message>
        <source>cannot connect to %1</source>
        <translation>keine Verbindung zu %1</translation>
    </message>
    <message>
        <source>cannot write the capture: %1</source>
        <translation>die Aufzeichnung lässt sich nicht schreiben: %1</translation>
    </message>
    <message>
        <source>timed out after %1 waiting for a complete capture from %2</source>
        <translation>Zeitüberschreitung nach %1 beim Warten auf eine vollständige Aufzeichnung von %2</translation>
    </message>
    <message>
        <source>timed out after %1 waiting for the connection to %2</source>
        <translation>Zeitüberschreitung nach %1 beim Warten auf die Verbindung zu %2</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <source>%1 (see --help)</source>
        <translation>%1 (siehe --help)</translation>
    </message>
    <message>
        <source>--%1: "%2" is not one of %3</source>
        <translation>--%1: „%2“ ist keiner der Werte %3</translation>
    </message>
    <message>
        <source>--%1: "%2" is not a whole number from %3 to %4</source>
        <translation>--%1: „%2“ ist keine ganze Zahl von %3 bis %4</translation>
    </message>
    <message>
        <source>--locale: unknown locale "%1"</source>
        <translation>--locale: unbekanntes Gebietsschema „%1“</translation>
    </message>
    <message>
        <source>--locale: the decimal separator of "%1" is not a single ASCII character</source>
        <translation>--locale: das Dezimaltrennzeichen von „%1“ ist kein einzelnes ASCII-Zeichen</translation>
    </message>
    <message>
        <source>Connect over TCP to HOST (an IPv4 address or a name).</source>
        <translation>Über TCP mit HOST verbinden (eine IPv4-Adresse oder ein Name).</translation>
    </message>
    <message>
        <source>TCP port (default 2000).</source>
        <translation>TCP-Port (Vorgabe 2000).</translation>
    </message>
    <message>
        <source>Connect over the serial port PORT (ttyACM0, /dev/...).</source>
        <translation>Über die serielle Schnittstelle PORT verbinden (ttyACM0, /dev/...).</translation>
    </message>
    <message>
        <source>Base name of the files: BASE.csv and BASE.json.</source>
        <translation>Basisname der Dateien: BASE.csv und BASE.json.</translation>
    </message>
    <message>
        <source>Take N captures into BASE-1 .. BASE-N (default 1).</source>
        <translation>N Aufzeichnungen nach BASE-1 .. BASE-N aufnehmen (Vorgabe 1).</translation>
    </message>
    <message>
        <source>Seconds to wait for the link and for each capture (default 10).</source>
        <translation>Sekunden Wartezeit auf die Verbindung und auf jede Aufzeichnung (Vorgabe 10).</translation>
    </message>
    <message>
        <source>Time per division: %1.</source>
        <translation>Zeit pro Teilung: %1.</translation>
    </message>
    <message>
        <source>Volts per division of channel 1: %1.</source>
        <translation>Volt pro Teilung von Kanal 1: %1.</translation>
    </message>
    <message>
        <source>Volts per division of channel 2, as --ch1-vdiv.</source>
        <translation>Volt pro Teilung von Kanal 2, wie --ch1-vdiv.</translation>
    </message>
    <message>
        <source>Input coupling of channel 1: AC, DC, GND.</source>
        <translation>Eingangskopplung von Kanal 1: AC, DC, GND.</translation>
    </message>
    <message>
        <source>Input coupling of channel 2: AC, DC, GND.</source>
        <translation>Eingangskopplung von Kanal 2: AC, DC, GND.</translation>
    </message>
    <message>
        <source>Probe of channel 1: x1, x10 (applied on this side, as the program does).</source>
        <translation>Tastkopf von Kanal 1: x1, x10 (auf dieser Seite verrechnet, wie im Programm).</translation>
    </message>
    <message>
        <source>Probe of channel 2: x1, x10.</source>
        <translation>Tastkopf von Kanal 2: x1, x10.</translation>
    </message>
    <message>
        <source>Sample value of channel 1's zero line, 0..255.</source>
        <translation>Abtastwert der Nulllinie von Kanal 1, 0..255.</translation>
    </message>
    <message>
        <source>Sample value of channel 2's zero line, 0..255.</source>
        <translation>Abtastwert der Nulllinie von Kanal 2, 0..255.</translation>
    </message>
    <message>
        <source>Trigger channel: 1, 2.</source>
        <translation>Triggerkanal: 1, 2.</translation>
    </message>
    <message>
        <source>Trigger slope: rising, falling.</source>
        <translation>Triggerflanke: rising (steigend), falling (fallend).</translation>
    </message>
    <message>
        <source>Trigger mode: normal, auto, once.</source>
        <translation>Triggermodus: normal, auto, once (einmal).</translation>
    </message>
    <message>
        <source>Trigger level as a sample value, 3..252.</source>
        <translation>Triggerpegel als Abtastwert, 3..252.</translation>
    </message>
    <message>
        <source>unexpected argument "%1"</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <source>give either --host or --serial</source>
        <translation>entweder --host oder --serial angeben</translation>
    </message>
    <message>
        <source>--host: empty host</source>
        <translation>--host: leerer Rechnername</translation>
    </message>
    <message>
        <source>--port needs --host</source>
        <translation>--port braucht --host</translation>
    </message>
    <message>
        <source>--serial: empty port name</source>
        <translation>--serial: leerer Schnittstellenname</translation>
    </message>
    <message>
        <source>Write numbers with the decimal separator of locale NAME (de_DE) instead of the C locale's point. The Level values of BASE.json and the spectra always use a point.</source>
        <translation>Zahlen mit dem Dezimaltrennzeichen des Gebietsschemas NAME (de_DE) statt mit dem Punkt des C-Gebietsschemas schreiben. Die Level-Werte in BASE.json und die Spektren stehen immer mit Punkt.</translation>
    </message>
    <message>
        <source>Also write both channels' spectra as CSV to FILE (see above).</source>
        <translation>Zusätzlich die Spektren beider Kanäle als CSV nach FILE schreiben (siehe oben).</translation>
    </message>
    <message>
        <source>Window of the spectra: %1 (default hann).</source>
        <translation>Fensterfunktion der Spektren: %1 (Vorgabe hann).</translation>
    </message>
    <message>
        <source>--%1: "%2" is not a number of seconds above 0 and up to 86400</source>
        <translation>--%1: „%2“ ist keine Zahl von Sekunden über 0 und bis 86400</translation>
    </message>
    <message>
        <source>
Exit codes:
  0  the captures were written
  1  any other error
  2  bad options
  3  the connection was refused, could not be made or was lost
  4  the serial port cannot be opened
  5  timeout: no link or no complete capture within --timeout
  6  a capture file or the recording cannot be written
Errors are written to standard error, one line naming the cause.
</source>
        <translation>
Rückgabewerte:
  0  die Aufzeichnungen wurden geschrieben
  1  jeder andere Fehler
  2  ungültige Optionen
  3  die Verbindung wurde abgelehnt, kam nicht zustande oder brach ab
  4  die serielle Schnittstelle lässt sich nicht öffnen
  5  Zeitüberschreitung: keine Verbindung oder keine vollständige Aufzeichnung
     innerhalb von --timeout
  6  eine Aufzeichnungsdatei oder die Aufnahme lässt sich nicht schreiben
Fehler gehen auf die Standardfehlerausgabe, eine Zeile, die die Ursache nennt.
</translation>
    </message>
    <message>
        <source>Takes captures from a Zelvo oscilloscope without the window.

Connects over TCP (--host) or a serial port (--serial), sends the settings
given below in one settings frame (unset ones keep the defaults of a new scope
driver: 500us, both channels 10V AC x1 at position 128, trigger on channel 1,
rising, auto, level 128), waits for the first complete capture taken with them
and writes BASE.csv (samples) and BASE.json (parameters) in the formats of the
program's export. Then it prints each channel's twenty readouts, one per line:
the thirteen of the program's menus, then Freq, Period, Duty, +Width, -Width,
Rise and Fall, for example "CH1 Vpp 40.00V", "CH1 Freq 1.00kHz". With
--count N the captures go to BASE-1 .. BASE-N, each group of readouts after a
line naming its base.

With --spectrum FILE it also writes both channels' magnitude spectra (4096
samples in volts, windowed) to FILE as CSV: the header
"frequency_hz,ch1_dbv,ch2_dbv", then one line per bin from 0 Hz to half the
sample rate (2049 lines), levels in dBV (RMS) down to -200, always with a
decimal point. With --count N the spectra go to FILE-1 .. FILE-N (the number
before the extension).

With --record FILE --seconds N it takes no captures: it records every frame
the scope sends for N seconds from the link's start into FILE (the program's
recording format, docs/recording-format.md), then prints one line
"FILE: FRAMES frames, BYTES bytes". zelvo-sim --replay FILE serves it again.</source>
        <translation>Nimmt Aufzeichnungen von einem Zelvo-Oszilloskop ohne das Fenster auf.

Verbindet sich über TCP (--host) oder eine serielle Schnittstelle (--serial),
sendet die unten angegebenen Einstellungen in einem Einstellungsrahmen (nicht
angegebene behalten die Vorgaben eines neuen Oszilloskop-Treibers: 500us,
beide Kanäle 10V AC x1 an Position 128, Trigger auf Kanal 1, steigend, auto,
Pegel 128), wartet auf die erste vollständige Aufzeichnung mit diesen
Einstellungen und schreibt BASE.csv (Messwerte) und BASE.json (Parameter) in
den Formaten des Exports im Programm. Danach gibt es die zwanzig Messwerte
jedes Kanals aus, einen je Zeile: die dreizehn aus den Menüs des Programms,
dann Freq, Period, Duty, +Width, -Width, Rise und Fall, zum Beispiel
"CH1 Vpp 40.00V", "CH1 Freq 1.00kHz". Mit --count N gehen die Aufzeichnungen
nach BASE-1 .. BASE-N, jede Gruppe von Messwerten nach einer Zeile mit ihrem
Basisnamen.

Mit --spectrum FILE schreibt es zusätzlich die Betragsspektren beider Kanäle
(4096 Messwerte in Volt, gefenstert) als CSV nach FILE: die Kopfzeile
"frequency_hz,ch1_dbv,ch2_dbv", dann eine Zeile je Frequenzlinie von 0 Hz bis
zur halben Abtastrate (2049 Zeilen), Pegel in dBV (effektiv) bis hinab zu -200,
immer mit Dezimalpunkt. Mit --count N gehen die Spektren nach FILE-1 .. FILE-N
(die Nummer vor der Endung).

Mit --record FILE --seconds N nimmt es keine Aufzeichnungen auf: es schreibt
jeden Rahmen, den das Oszilloskop in N Sekunden ab dem Verbindungsaufbau sendet,
in die Aufnahme FILE (das Aufnahmeformat des Programms,
docs/recording-format.md) und gibt dann eine Zeile
"FILE: FRAMES frames, BYTES bytes" aus. zelvo-sim --replay FILE spielt sie
wieder ab.</translation>
    </message>
    <message>
        <source>Record every frame the scope sends into FILE instead of taking captures.</source>
        <translation>Statt Aufzeichnungen aufzunehmen, jeden Rahmen des Oszilloskops in die Aufnahme FILE schreiben.</translation>
    </message>
    <message>
        <source>How long --record records (seconds).</source>
        <translation>Wie lange --record aufnimmt (Sekunden).</translation>
    </message>
    <message>
        <source>give either --out BASE or --record FILE</source>
        <translation>entweder --out BASE oder --record FILE angeben</translation>
    </message>
    <message>
        <source>--out: empty base name</source>
        <translation>--out: leerer Basisname</translation>
    </message>
    <message>
        <source>--record: empty file name</source>
        <translation>--record: leerer Dateiname</translation>
    </message>
    <message>
        <source>--record needs --seconds</source>
        <translation>--record braucht --seconds</translation>
    </message>
    <message>
        <source>--%1 needs --out</source>
        <translation>--%1 braucht --out</translation>
    </message>
    <message>
        <source>--seconds needs --record</source>
        <translation>--seconds braucht --record</translation>
    </message>
    <message>
        <source>--spectrum: empty file name</source>
        <translation>--spectrum: leerer Dateiname</translation>
    </message>
    <message>
        <source>--window needs --spectrum</source>
        <translation>--window braucht --spectrum</translation>
    </message>
</context>
<context>
    <name>ZelvoSim</name>
    <message>
        <source>unknown option %1 (see --help)</source>
        <translation>unbekannte Option %1 (siehe --help)</translation>
    </message>
    <message>
        <source>%1: a probability from 0 to 1 is needed</source>
        <translation>%1: eine Wahrscheinlichkeit von 0 bis 1 wird gebraucht</translation>
    </message>
    <message>
        <source>--wave: TYPE:FREQ:AMPL[:OFFSET] expected, got %1</source>
        <translation>--wave: TYPE:FREQ:AMPL[:OFFSET] erwartet, erhalten: %1</translation>
    </message>
    <message>
        <source>--wave: unknown type %1</source>
        <translation>--wave: unbekannter Typ %1</translation>
    </message>
    <message>
        <source>%1: channel 1 or 2 expected, got %2</source>
        <translation>%1: Kanal 1 oder 2 erwartet, erhalten: %2</translation>
    </message>
    <message>
        <source>--tcp: port out of range</source>
        <translation>--tcp: Port außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>--block: 1 to 512 pairs</source>
        <translation>--block: 1 bis 512 Paare</translation>
    </message>
    <message>
        <source>%1: a value is missing</source>
        <translation>%1: ein Wert fehlt</translation>
    </message>
    <message>
        <source>--probe: 1 or 10</source>
        <translation>--probe: 1 oder 10</translation>
    </message>
    <message>
        <source>%1: a number is needed</source>
        <translation>%1: eine Zahl wird gebraucht</translation>
    </message>
    <message>
        <source>%1: number out of range</source>
        <translation>%1: Zahl außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>Cannot listen on %1:%2: %3</source>
        <translation>Kann nicht auf %1:%2 lauschen: %3</translation>
    </message>
    <message>
        <source>pseudo-terminal: %1</source>
        <translation>Pseudo-Terminal: %1</translation>
    </message>
    <message>
        <source>not a numeric address: %1</source>
        <translation>keine numerische Adresse: %1</translation>
    </message>
    <message>
        <source>Usage: zelvo-sim [OPTIONS]
Plays a Zelvo two-channel scope on TCP and/or a pseudo-terminal, one client at
a time on each, speaking the scope's frame protocol. Every frame received is
logged in readable form on standard error. With neither --tcp nor --pty it
listens on 127.0.0.1:2000.

Links:
  --tcp [ADDR:]PORT       listen on TCP (ADDR defaults to 127.0.0.1)
  --pty [LINK]            open a pseudo-terminal, print its path, and make LINK
                          a symbolic link to it if given
  --rate FPS              sample frames per second, 0 = as fast as the link
                          takes them (default 160)
  --line-rate BPS         pace the pseudo-terminal at BPS bit/s, 10 bits a byte;
                          0 = unpaced (default 38400)
  --block PAIRS           sample pairs per frame, 1..512 (default 512)
  --frames N              stop streaming after N sample frames (default: never)

Replay:
  --replay FILE           serve the recording FILE (zelvo-capture --record)
                          instead of the simulated signals: after the
                          program's settings frame and sample request, the
                          recorded frames in order with their recorded
                          spacing, from the start for every client; with
                          --rate 0 as fast as the link takes them. Nothing
                          else is answered, and the link stays open, quiet,
                          after the last frame.

Signals (CH is 1 or 2):
  --wave CH TYPE:FREQ:AMPL[:OFFSET]
                          TYPE sine or square, FREQ in Hz, AMPL peak volts at
                          the probe tip, OFFSET volts seen under DC coupling
                          (defaults: 1 sine:1000:2, 2 square:500:1)
  --probe CH 1|10         probe factor of a channel (default 1)
  --noise STEPS           +- uniform noise in sample steps (default 1)

Scope state:
  --battery CODE          2 full, 3 low, 4 charging (default 2)
  --calibration-ms MS     how long calibration takes (default 2000)
  --debug-interval-ms MS  debug frames while debug output is on (default 200)
  --ssid TEXT  --password TEXT  --wifi-channel N  --build TEXT  --firmware TEXT

Faults (probabilities per frame, 0..1; all off by default):
  --garbage P             random bytes between frames
  --corrupt P             frames with a wrong checksum
  --split                 write every frame in pieces of random size
  --drop-after N          close the link after N frames (the pseudo-terminal
                          vanishes and a new one is opened)
  --bad-ordinals P        settings blocks with out-of-range ordinals
  --seed N                seed of every random choice (default 1)

  --quiet                 log nothing but the links
  --help                  show this text
  --version               show the version
</source>
        <translation>Aufruf: zelvo-sim [OPTIONEN]
Spielt ein zweikanaliges Zelvo-Oszilloskop über TCP und/oder ein
Pseudo-Terminal, auf jedem ein Client zur Zeit, im Rahmenprotokoll des
Oszilloskops. Jeder empfangene Rahmen wird lesbar auf der
Standardfehlerausgabe protokolliert. Ohne --tcp und --pty lauscht es auf
127.0.0.1:2000.

Verbindungen:
  --tcp [ADDR:]PORT       auf TCP lauschen (ADDR ohne Angabe 127.0.0.1)
  --pty [LINK]            ein Pseudo-Terminal öffnen, seinen Pfad ausgeben und,
                          falls angegeben, LINK als symbolischen Link darauf
                          anlegen
  --rate FPS              Messwertrahmen pro Sekunde, 0 = so schnell, wie die
                          Verbindung sie abnimmt (Vorgabe 160)
  --line-rate BPS         das Pseudo-Terminal mit BPS Bit/s takten, 10 Bit je
                          Byte; 0 = ungetaktet (Vorgabe 38400)
  --block PAIRS           Messwertpaare je Rahmen, 1..512 (Vorgabe 512)
  --frames N              nach N Messwertrahmen nichts mehr senden
                          (Vorgabe: nie)

Wiedergabe:
  --replay FILE           statt der simulierten Signale die Aufnahme FILE
                          (zelvo-capture --record) ausliefern: nach dem
                          Einstellungsrahmen und der Messwertanforderung des
                          Programms die aufgenommenen Rahmen in ihrer
                          Reihenfolge mit ihren aufgenommenen Abständen, für
                          jeden Client von vorn; mit --rate 0 so schnell, wie
                          die Verbindung sie abnimmt. Sonst wird nichts
                          beantwortet, und die Verbindung bleibt nach dem
                          letzten Rahmen still offen.

Signale (CH ist 1 oder 2):
  --wave CH TYPE:FREQ:AMPL[:OFFSET]
                          TYPE sine oder square, FREQ in Hz, AMPL Scheitelwert
                          in Volt an der Tastkopfspitze, OFFSET Volt, die bei
                          DC-Kopplung zu sehen sind
                          (Vorgaben: 1 sine:1000:2, 2 square:500:1)
  --probe CH 1|10         Tastkopffaktor eines Kanals (Vorgabe 1)
  --noise STEPS           +- gleichverteiltes Rauschen in Abtaststufen
                          (Vorgabe 1)

Zustand des Oszilloskops:
  --battery CODE          2 voll, 3 schwach, 4 lädt (Vorgabe 2)
  --calibration-ms MS     Dauer der Kalibrierung (Vorgabe 2000)
  --debug-interval-ms MS  Debug-Rahmen, solange die Debug-Ausgabe an ist
                          (Vorgabe 200)
  --ssid TEXT  --password TEXT  --wifi-channel N  --build TEXT  --firmware TEXT

Fehler (Wahrscheinlichkeiten je Rahmen, 0..1; ohne Angabe alle aus):
  --garbage P             zufällige Bytes zwischen den Rahmen
  --corrupt P             Rahmen mit falscher Prüfsumme
  --split                 jeden Rahmen in Stücken zufälliger Größe schreiben
  --drop-after N          die Verbindung nach N Rahmen schließen (das
                          Pseudo-Terminal verschwindet, ein neues wird geöffnet)
  --bad-ordinals P        Einstellungsblöcke mit Ordinalwerten außerhalb des
                          gültigen Bereichs
  --seed N                Startwert jeder Zufallswahl (Vorgabe 1)

  --quiet                 nichts außer den Verbindungen protokollieren
  --help                  diesen Text anzeigen
  --version               die Version anzeigen
</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Desktop companion program of the Zelvo oscilloscope.</source>
        <translation>Desktop-Begleitprogramm des Zelvo-Oszilloskops.</translation>
    </message>
</context>
</TS>