<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AppDelegate</name>
    <message>
        <source>About Game of Life</source>
        <translation>Über Game of Life</translation>
    </message>
    <message>
        <source>&lt;b&gt;Game of Life&lt;/b&gt; %1&lt;p&gt;Conway&apos;s Game of Life on a grayscale board: black cells live, white cells are dead.&lt;/p&gt;</source>
        <translation>&lt;b&gt;Game of Life&lt;/b&gt; %1&lt;p&gt;Conways Spiel des Lebens auf einem Graustufen-Spielfeld: Schwarze Zellen leben, weiße Zellen sind tot.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>A pattern of %1 by %2 cells is too large.</source>
        <translation>Ein Muster von %1 × %2 Zellen ist zu groß.</translation>
    </message>
    <message>
        <source>A board holds at most %1 cells in all, 16384 by 16384 for example.</source>
        <translation>Ein Spielfeld fasst höchstens %1 Zellen insgesamt, zum Beispiel 16384 × 16384.</translation>
    </message>
    <message>
        <source>Game of Life</source>
        <translation>Game of Life</translation>
    </message>
</context>
<context>
    <name>BatchJob</name>
    <message>
        <source>%1/%2 generations</source>
        <translation>%1/%2 Generationen</translation>
    </message>
    <message>
        <source>there is not enough memory for a board of that size.</source>
        <translation>Für ein Spielfeld dieser Größe reicht der Speicher nicht.</translation>
    </message>
    <message>
        <source>%1x%2 cells, %3 on a torus, %4 generations, %5 live cells, %6 s, %7</source>
        <translation>%1x%2 Zellen, %3 auf einem Torus, %4 Generationen, %5 lebende Zellen, %6 s, %7</translation>
    </message>
    <message>
        <source>%1x%2 cells, %3 on a bounded plane, %4 generations, %5 live cells, %6 s, %7</source>
        <translation>%1x%2 Zellen, %3 auf einer begrenzten Ebene, %4 Generationen, %5 lebende Zellen, %6 s, %7</translation>
    </message>
    <message>
        <source>%1 Gcells/s</source>
        <translation>%1 Mrd. Zellen/s</translation>
    </message>
    <message>
        <source>%1 Mcells/s</source>
        <translation>%1 Mio. Zellen/s</translation>
    </message>
    <message>
        <source>%1 cells/s</source>
        <translation>%1 Zellen/s</translation>
    </message>
    <message>
        <source>Settled at generation %1: the board is empty</source>
        <translation>Stabil bei Generation %1: Das Spielfeld ist leer</translation>
    </message>
    <message>
        <source>Settled at generation %1: period %2</source>
        <translation>Stabil bei Generation %1: Periode %2</translation>
    </message>
</context>
<context>
    <name>BatchOptions</name>
    <message>
        <source>Generations to run (default 100).</source>
        <translation>Zu berechnende Generationen (Vorgabe 100).</translation>
    </message>
    <message>
        <source>Write the final board as a pattern file (.golpattern), an RLE, plaintext or Life 1.06 pattern (.rle, .rle.gz, .cells, .lif) or a PNG (.png).</source>
        <translation>Das letzte Spielfeld als Musterdatei (.golpattern), als RLE-, Klartext- oder Life-1.06-Muster (.rle, .rle.gz, .cells, .lif) oder als PNG (.png) schreiben.</translation>
    </message>
    <message>
        <source>Record the run as an animated GIF.</source>
        <translation>Den Lauf als animiertes GIF aufnehmen.</translation>
    </message>
    <message>
        <source>Instead of INPUT: a random board of W by H cells.</source>
        <translation>Statt INPUT: ein zufälliges Spielfeld von W × H Zellen.</translation>
    </message>
    <message>
        <source>With --random: a repeatable board from this seed.</source>
        <translation>Mit --random: ein wiederholbares Spielfeld aus diesem Startwert.</translation>
    </message>
    <message>
        <source>Instead of INPUT: the glider gun preset for a view of W by H points.</source>
        <translation>Statt INPUT: die vorgegebene Gleiterkanone für eine Ansicht von W × H Punkten.</translation>
    </message>
    <message>
        <source>With an INPUT of another Life program: centre the pattern on a board of W by H cells (by default the pattern&apos;s own plane, or room around it).</source>
        <translation>Mit einem INPUT eines anderen Life-Programms: das Muster auf einem Spielfeld von W × H Zellen zentrieren (vorgegeben ist die eigene Ebene des Musters oder Platz um es herum).</translation>
    </message>
    <message>
        <source>Draw each cell as N by N pixels in the PNG and the GIF (default 1).</source>
        <translation>Jede Zelle im PNG und im GIF als N × N Pixel zeichnen (Vorgabe 1).</translation>
    </message>
    <message>
        <source>Run under this Life-like rule, such as B36/S23 (by default the INPUT&apos;s rule, or B3/S23).</source>
        <translation>Unter dieser Life-artigen Regel laufen lassen, etwa B36/S23 (vorgegeben ist die Regel des INPUT oder B3/S23).</translation>
    </message>
    <message>
        <source>Run on a torus: the left edge touches the right, the top the bottom.</source>
        <translation>Auf einem Torus laufen lassen: Der linke Rand grenzt an den rechten, der obere an den unteren.</translation>
    </message>
    <message>
        <source>Print nothing on success.</source>
        <translation>Bei Erfolg nichts ausgeben.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Diese Hilfe anzeigen.</translation>
    </message>
    <message>
        <source>Show the version.</source>
        <translation>Die Version anzeigen.</translation>
    </message>
    <message>
        <source>Runs Conway&apos;s Game of Life, or another Life-like rule, on a board without a window, with the engine and the files of Game of Life.</source>
        <translation>Berechnet Conways Spiel des Lebens oder eine andere Life-artige Regel auf einem Spielfeld ohne Fenster, mit dem Rechenkern und den Dateien von Game of Life.</translation>
    </message>
    <message>
        <source>A pattern file (.golpattern), a pattern of another Life program (.rle, .cells, .lif, .life, .mc, .rle.gz, .mc.gz) or an image (.png, .jpg, .jpeg). Pattern files may be gzip-compressed.</source>
        <translation>Eine Musterdatei (.golpattern), ein Muster eines anderen Life-Programms (.rle, .cells, .lif, .life, .mc, .rle.gz, .mc.gz) oder ein Bild (.png, .jpg, .jpeg). Musterdateien dürfen mit gzip komprimiert sein.</translation>
    </message>
    <message>
        <source>Give one INPUT file, or --random WxH, or --glider-gun WxH.</source>
        <translation>Geben Sie eine INPUT-Datei an, oder --random WxH, oder --glider-gun WxH.</translation>
    </message>
    <message>
        <source>--random takes a size in cells such as 120x90, from 1x1 up to 16384x16384.</source>
        <translation>--random erwartet eine Größe in Zellen wie 120x90, von 1x1 bis 16384x16384.</translation>
    </message>
    <message>
        <source>--glider-gun takes a view size in points such as 480x360, up to 65536x65536.</source>
        <translation>--glider-gun erwartet eine Ansichtsgröße in Punkten wie 480x360, bis 65536x65536.</translation>
    </message>
    <message>
        <source>INPUT must be a pattern file (.golpattern, .rle, .cells, .lif, .life, .mc, .rle.gz, .mc.gz) or an image (.png, .jpg, .jpeg).</source>
        <translation>INPUT muss eine Musterdatei (.golpattern, .rle, .cells, .lif, .life, .mc, .rle.gz, .mc.gz) oder ein Bild (.png, .jpg, .jpeg) sein.</translation>
    </message>
    <message>
        <source>--board goes with an INPUT of another Life program (.rle, .cells, .lif, .life, .mc).</source>
        <translation>--board gehört zu einem INPUT eines anderen Life-Programms (.rle, .cells, .lif, .life, .mc).</translation>
    </message>
    <message>
        <source>--board takes a size in cells such as 120x90, from 1x1 up to 16384x16384.</source>
        <translation>--board erwartet eine Größe in Zellen wie 120x90, von 1x1 bis 16384x16384.</translation>
    </message>
    <message>
        <source>--seed goes with --random.</source>
        <translation>--seed gehört zu --random.</translation>
    </message>
    <message>
        <source>--seed takes a whole number.</source>
        <translation>--seed erwartet eine ganze Zahl.</translation>
    </message>
    <message>
        <source>--generations takes a whole number from 0 to 2147483647.</source>
        <translation>--generations erwartet eine ganze Zahl von 0 bis 2147483647.</translation>
    </message>
    <message>
        <source>--output must name a pattern file (.golpattern, .rle, .rle.gz, .cells, .lif) or a PNG (.png).</source>
        <translation>--output muss eine Musterdatei (.golpattern, .rle, .rle.gz, .cells, .lif) oder ein PNG (.png) nennen.</translation>
    </message>
    <message>
        <source>--scale takes a whole number of pixels from 1 to %1.</source>
        <translation>--scale erwartet eine ganze Zahl von Pixeln von 1 bis %1.</translation>
    </message>
    <message>
        <source>--scale goes with a PNG output or --gif.</source>
        <translation>--scale gehört zu einer PNG-Ausgabe oder zu --gif.</translation>
    </message>
    <message>
        <source>--rule takes a Life-like rule such as B36/S23, on a bounded plane (:P) or a torus (:T). </source>
        <translation>--rule erwartet eine Life-artige Regel wie B36/S23, auf einer begrenzten Ebene (:P) oder einem Torus (:T). </translation>
    </message>
    <message>
        <source>With --random: this percentage of the cells live (0 to 100).</source>
        <translation>Mit --random: dieser Prozentsatz der Zellen lebt (0 bis 100).</translation>
    </message>
    <message>
        <source>--density goes with --random and takes a percentage from 0 to 100.</source>
        <translation>--density gehört zu --random und erwartet einen Prozentsatz von 0 bis 100.</translation>
    </message>
    <message>
        <source>Stop before the count once the board is empty, still, or repeats with a period of up to 1000 generations, and say so.</source>
        <translation>Vor Ablauf der Anzahl anhalten, sobald das Spielfeld leer ist, sich nicht mehr ändert oder sich mit einer Periode von bis zu 1000 Generationen wiederholt, und dies melden.</translation>
    </message>
</context>
<context>
    <name>BoardAccessible</name>
    <message>
        <source>Board</source>
        <translation>Spielfeld</translation>
    </message>
    <message>
        <source>No board</source>
        <translation>Kein Spielfeld</translation>
    </message>
    <message>
        <source>the whole board shown</source>
        <translation>das ganze Spielfeld gezeigt</translation>
    </message>
    <message>
        <source>zoom %1%</source>
        <translation>Zoom %1 %</translation>
    </message>
    <message>
        <source>%1 × %2 cells, %3</source>
        <translation>%1 × %2 Zellen, %3</translation>
    </message>
    <message>
        <source>; cell %1, %2 under the cursor, live</source>
        <translation>; Zelle %1, %2 unter dem Cursor, lebend</translation>
    </message>
    <message>
        <source>; cell %1, %2 under the cursor, dead</source>
        <translation>; Zelle %1, %2 unter dem Cursor, tot</translation>
    </message>
</context>
<context>
    <name>BoardNavigation</name>
    <message>
        <source>Move the zoomed board</source>
        <translation>Das vergrößerte Spielfeld verschieben</translation>
    </message>
    <message>
        <source>Centre the zoomed board</source>
        <translation>Das vergrößerte Spielfeld zentrieren</translation>
    </message>
</context>
<context>
    <name>ClipboardCommands</name>
    <message>
        <source>Copying the board…</source>
        <translation>Spielfeld wird kopiert …</translation>
    </message>
    <message>
        <source>There is not enough memory to copy the selection.</source>
        <translation>Zum Kopieren der Auswahl reicht der Speicher nicht.</translation>
    </message>
    <message>
        <source>1 gray cell was copied as a dead cell.</source>
        <translation>1 graue Zelle wurde als tote Zelle kopiert.</translation>
    </message>
    <message>
        <source>%1 gray cells were copied as dead cells.</source>
        <translation>%1 graue Zellen wurden als tote Zellen kopiert.</translation>
    </message>
    <message>
        <source>Reading the clipboard…</source>
        <translation>Zwischenablage wird gelesen …</translation>
    </message>
    <message>
        <source>The pattern names the rule %1. Should the board run under it?</source>
        <translation>Das Muster nennt die Regel %1. Soll das Spielfeld unter dieser Regel laufen?</translation>
    </message>
    <message>
        <source>The text on the clipboard</source>
        <translation>Der Text in der Zwischenablage</translation>
    </message>
</context>
<context>
    <name>DialogPresenter</name>
    <message>
        <source>Game of Life</source>
        <translation>Game of Life</translation>
    </message>
    <message>
        <source>Do you want to save this pattern?</source>
        <translation>Möchten Sie dieses Muster speichern?</translation>
    </message>
    <message>
        <source>If you don&apos;t save this pattern, your pattern will get lost.</source>
        <translation>Wenn Sie dieses Muster nicht speichern, geht es verloren.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Don&apos;t save</source>
        <translation>Nicht speichern</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>Save pattern</source>
        <translation>Muster speichern</translation>
    </message>
    <message>
        <source>Save the pattern somewhere on your disk</source>
        <translation>Das Muster auf Ihrem Datenträger speichern</translation>
    </message>
    <message>
        <source>Open pattern</source>
        <translation>Muster öffnen</translation>
    </message>
    <message>
        <source>Open a pattern from somewhere on your disk</source>
        <translation>Ein Muster von Ihrem Datenträger öffnen</translation>
    </message>
    <message>
        <source>Save image</source>
        <translation>Bild speichern</translation>
    </message>
    <message>
        <source>Save the image somewhere on your disk</source>
        <translation>Das Bild auf Ihrem Datenträger speichern</translation>
    </message>
    <message>
        <source>Open image</source>
        <translation>Bild öffnen</translation>
    </message>
    <message>
        <source>Open an image from somewhere on your disk</source>
        <translation>Ein Bild von Ihrem Datenträger öffnen</translation>
    </message>
    <message>
        <source>Import pattern</source>
        <translation>Muster importieren</translation>
    </message>
    <message>
        <source>Import a pattern of another Life program from somewhere on your disk</source>
        <translation>Ein Muster eines anderen Life-Programms von Ihrem Datenträger importieren</translation>
    </message>
    <message>
        <source>Export pattern</source>
        <translation>Muster exportieren</translation>
    </message>
    <message>
        <source>Export the pattern for other Life programs</source>
        <translation>Das Muster für andere Life-Programme exportieren</translation>
    </message>
    <message>
        <source>Save gif</source>
        <translation>GIF speichern</translation>
    </message>
    <message>
        <source>Save the gif somewhere on your disk</source>
        <translation>Das GIF auf Ihrem Datenträger speichern</translation>
    </message>
    <message>
        <source>There is not enough memory for this board: %1.</source>
        <translation>Für dieses Spielfeld reicht der Speicher nicht: %1.</translation>
    </message>
    <message>
        <source>Opening %1…</source>
        <translation>%1 wird geöffnet …</translation>
    </message>
    <message>
        <source>Importing %1…</source>
        <translation>%1 wird importiert …</translation>
    </message>
    <message>
        <source>Exporting %1…</source>
        <translation>%1 wird exportiert …</translation>
    </message>
    <message>
        <source>Saving %1…</source>
        <translation>%1 wird gespeichert …</translation>
    </message>
    <message>
        <source>This pattern came with no name, author or comments.</source>
        <translation>Dieses Muster kam ohne Namen, Autor oder Kommentare.</translation>
    </message>
    <message>
        <source>Name: %1</source>
        <translation>Name: %1</translation>
    </message>
    <message>
        <source>Author: %1</source>
        <translation>Autor: %1</translation>
    </message>
    <message>
        <source>Comments:</source>
        <translation>Kommentare:</translation>
    </message>
</context>
<context>
    <name>FileWork</name>
    <message>
        <source>There was not enough memory for this: %1</source>
        <translation>Dafür reichte der Speicher nicht: %1</translation>
    </message>
</context>
<context>
    <name>KeyboardShortcuts</name>
    <message>
        <source>On the board: </source>
        <translation>Auf dem Spielfeld: </translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
    <message>
        <source>In pattern editing: </source>
        <translation>Im Bearbeitungsmodus: </translation>
    </message>
    <message>
        <source>While a paste floats: </source>
        <translation>Solange eine Einfügung schwebt: </translation>
    </message>
    <message>
        <source>Move the cell cursor</source>
        <translation>Den Zellcursor bewegen</translation>
    </message>
    <message>
        <source>Move the cell cursor 8 cells</source>
        <translation>Den Zellcursor um 8 Zellen bewegen</translation>
    </message>
    <message>
        <source>Toggle the cell under the cursor</source>
        <translation>Die Zelle unter dem Cursor umschalten</translation>
    </message>
    <message>
        <source>Rotate it clockwise</source>
        <translation>Im Uhrzeigersinn drehen</translation>
    </message>
    <message>
        <source>Rotate it anticlockwise</source>
        <translation>Gegen den Uhrzeigersinn drehen</translation>
    </message>
    <message>
        <source>Flip it left-right</source>
        <translation>Horizontal spiegeln</translation>
    </message>
    <message>
        <source>Flip it top-bottom</source>
        <translation>Vertikal spiegeln</translation>
    </message>
    <message>
        <source>Drop it</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Remove the selection when nothing runs</source>
        <translation>Die Auswahl aufheben, wenn nichts läuft</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Game of Life[*]</source>
        <translation>Game of Life[*]</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Run the set number of generations (Ctrl+R)</source>
        <translation>Die eingestellte Anzahl Generationen berechnen (Strg+R)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Stop the run (Esc)</source>
        <translation>Den Lauf anhalten (Esc)</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Show a new random board</source>
        <translation>Ein neues zufälliges Spielfeld zeigen</translation>
    </message>
    <message>
        <source>&amp;Generations:</source>
        <translation>&amp;Generationen:</translation>
    </message>
    <message>
        <source>Generations per run</source>
        <translation>Generationen je Lauf</translation>
    </message>
    <message>
        <source>S&amp;peed:</source>
        <translation>&amp;Tempo:</translation>
    </message>
    <message>
        <source>2 generations a second</source>
        <translation>2 Generationen pro Sekunde</translation>
    </message>
    <message>
        <source>5 generations a second</source>
        <translation>5 Generationen pro Sekunde</translation>
    </message>
    <message>
        <source>10 generations a second</source>
        <translation>10 Generationen pro Sekunde</translation>
    </message>
    <message>
        <source>30 generations a second</source>
        <translation>30 Generationen pro Sekunde</translation>
    </message>
    <message>
        <source>Every generation</source>
        <translation>Jede Generation</translation>
    </message>
    <message>
        <source>As fast as possible</source>
        <translation>So schnell wie möglich</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Paste &amp;Mode</source>
        <translation>Einfüge&amp;modus</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Run</source>
        <translation>&amp;Simulation</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;New Pattern…</source>
        <translation>&amp;Neues Muster …</translation>
    </message>
    <message>
        <source>Draw a pattern on a blank board</source>
        <translation>Ein Muster auf einem leeren Spielfeld zeichnen</translation>
    </message>
    <message>
        <source>&amp;Open Pattern…</source>
        <translation>Muster ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>Open a pattern file</source>
        <translation>Eine Musterdatei öffnen</translation>
    </message>
    <message>
        <source>&amp;Save Pattern…</source>
        <translation>Muster &amp;speichern …</translation>
    </message>
    <message>
        <source>Save the board as a pattern file</source>
        <translation>Das Spielfeld als Musterdatei speichern</translation>
    </message>
    <message>
        <source>Open &amp;Image…</source>
        <translation>&amp;Bild öffnen …</translation>
    </message>
    <message>
        <source>Open a PNG or JPEG image as a gray board</source>
        <translation>Ein PNG- oder JPEG-Bild als graues Spielfeld öffnen</translation>
    </message>
    <message>
        <source>Save Image…</source>
        <translation>Bild speichern …</translation>
    </message>
    <message>
        <source>Save the board as a PNG image, one pixel per cell</source>
        <translation>Das Spielfeld als PNG-Bild speichern, ein Pixel je Zelle</translation>
    </message>
    <message>
        <source>&amp;Record GIF…</source>
        <translation>GIF &amp;aufnehmen …</translation>
    </message>
    <message>
        <source>Run the set number of generations and record them as an animated GIF</source>
        <translation>Die eingestellte Anzahl Generationen berechnen und als animiertes GIF aufnehmen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>B&amp;eenden</translation>
    </message>
    <message>
        <source>&amp;Edit Pattern</source>
        <translation>Muster &amp;bearbeiten</translation>
    </message>
    <message>
        <source>Toggle cells of the board shown with the mouse</source>
        <translation>Zellen des gezeigten Spielfelds mit der Maus umschalten</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <source>Run the set number of generations</source>
        <translation>Die eingestellte Anzahl Generationen berechnen</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>&amp;Anhalten</translation>
    </message>
    <message>
        <source>Stop the run</source>
        <translation>Den Lauf anhalten</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Glider Gun</source>
        <translation>&amp;Gleiterkanone</translation>
    </message>
    <message>
        <source>Show a board with a glider gun</source>
        <translation>Ein Spielfeld mit einer Gleiterkanone zeigen</translation>
    </message>
    <message>
        <source>&amp;Import Pattern…</source>
        <translation>Muster &amp;importieren …</translation>
    </message>
    <message>
        <source>Open a pattern of another Life program as a new board</source>
        <translation>Ein Muster eines anderen Life-Programms als neues Spielfeld öffnen</translation>
    </message>
    <message>
        <source>E&amp;xport Pattern…</source>
        <translation>Muster e&amp;xportieren …</translation>
    </message>
    <message>
        <source>Save the board as a pattern for other Life programs</source>
        <translation>Das Spielfeld als Muster für andere Life-Programme speichern</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Undo the last change to the pattern</source>
        <translation>Die letzte Änderung am Muster rückgängig machen</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Redo the change last undone</source>
        <translation>Die zuletzt rückgängig gemachte Änderung wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy the selection, or the whole board, as RLE text</source>
        <translation>Die Auswahl oder das ganze Spielfeld als RLE-Text kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Float the pattern on the clipboard over the board, to be put down with a click</source>
        <translation>Das Muster aus der Zwischenablage über dem Spielfeld schweben lassen; ein Klick legt es ab</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Aus&amp;schneiden</translation>
    </message>
    <message>
        <source>Copy the selection as RLE text and clear it</source>
        <translation>Die Auswahl als RLE-Text kopieren und leeren</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>Select every cell of the board</source>
        <translation>Jede Zelle des Spielfelds auswählen</translation>
    </message>
    <message>
        <source>Remo&amp;ve Selection</source>
        <translation>Auswahl auf&amp;heben</translation>
    </message>
    <message>
        <source>Remove the selection (Esc when nothing runs)</source>
        <translation>Die Auswahl aufheben (Esc, wenn nichts läuft)</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>Make the selected cells dead</source>
        <translation>Die ausgewählten Zellen tot machen</translation>
    </message>
    <message>
        <source>Clear &amp;Outside</source>
        <translation>Außerhalb leere&amp;n</translation>
    </message>
    <message>
        <source>Make every cell outside the selection dead</source>
        <translation>Jede Zelle außerhalb der Auswahl tot machen</translation>
    </message>
    <message>
        <source>&amp;Fill</source>
        <translation>&amp;Füllen</translation>
    </message>
    <message>
        <source>Make the selected cells live</source>
        <translation>Die ausgewählten Zellen lebendig machen</translation>
    </message>
    <message>
        <source>Ra&amp;ndom Fill…</source>
        <translation>&amp;Zufällig füllen …</translation>
    </message>
    <message>
        <source>Fill the selection with live cells at random, at a density you choose</source>
        <translation>Die Auswahl zufällig mit lebenden Zellen füllen, in einer Dichte Ihrer Wahl</translation>
    </message>
    <message>
        <source>S&amp;hrink Selection</source>
        <translation>Auswahl &amp;verkleinern</translation>
    </message>
    <message>
        <source>Shrink the selection to the live cells in it</source>
        <translation>Die Auswahl auf die lebenden Zellen darin verkleinern</translation>
    </message>
    <message>
        <source>Rotate &amp;Clockwise</source>
        <translation>Im Uhrzeigersinn &amp;drehen</translation>
    </message>
    <message>
        <source>Turn the selection a quarter turn clockwise about its centre</source>
        <translation>Die Auswahl um ihre Mitte eine Vierteldrehung im Uhrzeigersinn drehen</translation>
    </message>
    <message>
        <source>Rotate A&amp;nticlockwise</source>
        <translation>&amp;Gegen den Uhrzeigersinn drehen</translation>
    </message>
    <message>
        <source>Turn the selection a quarter turn anticlockwise about its centre</source>
        <translation>Die Auswahl um ihre Mitte eine Vierteldrehung gegen den Uhrzeigersinn drehen</translation>
    </message>
    <message>
        <source>Flip &amp;Left-Right</source>
        <translation>Horizon&amp;tal spiegeln</translation>
    </message>
    <message>
        <source>Mirror the selection left to right</source>
        <translation>Die Auswahl von links nach rechts spiegeln</translation>
    </message>
    <message>
        <source>Flip &amp;Top-Bottom</source>
        <translation>Vertikal s&amp;piegeln</translation>
    </message>
    <message>
        <source>Mirror the selection top to bottom</source>
        <translation>Die Auswahl von oben nach unten spiegeln</translation>
    </message>
    <message>
        <source>Paste as &amp;New Board</source>
        <translation>Als neues Spielfeld einf&amp;ügen</translation>
    </message>
    <message>
        <source>Take an RLE or plaintext pattern from the clipboard as a new board</source>
        <translation>Ein RLE- oder Klartext-Muster aus der Zwischenablage als neues Spielfeld übernehmen</translation>
    </message>
    <message>
        <source>Pasted cells replace the cells under them, dead cells too</source>
        <translation>Eingefügte Zellen ersetzen die Zellen darunter, auch tote</translation>
    </message>
    <message>
        <source>&amp;Or</source>
        <translation>&amp;Oder</translation>
    </message>
    <message>
        <source>Only the pasted live cells are set</source>
        <translation>Nur die eingefügten lebenden Zellen werden gesetzt</translation>
    </message>
    <message>
        <source>&amp;Xor</source>
        <translation>&amp;Xor</translation>
    </message>
    <message>
        <source>The cells under pasted live cells turn over</source>
        <translation>Die Zellen unter eingefügten lebenden Zellen kehren sich um</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Show the cells larger</source>
        <translation>Die Zellen größer zeigen</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>Show the cells smaller</source>
        <translation>Die Zellen kleiner zeigen</translation>
    </message>
    <message>
        <source>Zoom to &amp;Fit</source>
        <translation>&amp;Einpassen</translation>
    </message>
    <message>
        <source>Show the whole board</source>
        <translation>Das ganze Spielfeld zeigen</translation>
    </message>
    <message>
        <source>Fit &amp;Pattern</source>
        <translation>&amp;Muster einpassen</translation>
    </message>
    <message>
        <source>Show the live cells as large as they fit</source>
        <translation>Die lebenden Zellen so groß zeigen, wie sie hineinpassen</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>&amp;Tastenkürzel</translation>
    </message>
    <message>
        <source>List the keys of every command</source>
        <translation>Die Tasten aller Befehle auflisten</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Handbuch</translation>
    </message>
    <message>
        <source>Read the manual page</source>
        <translation>Die Handbuchseite lesen</translation>
    </message>
    <message>
        <source>St&amp;ep</source>
        <translation>Sc&amp;hritt</translation>
    </message>
    <message>
        <source>Compute one generation</source>
        <translation>Eine Generation berechnen</translation>
    </message>
    <message>
        <source>&amp;About Game of Life</source>
        <translation>Ü&amp;ber Game of Life</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Moves while a run goes</source>
        <translation>Bewegt sich, solange ein Lauf läuft</translation>
    </message>
    <message>
        <source>Pattern &amp;Info</source>
        <translation>Infos zum &amp;Muster</translation>
    </message>
    <message>
        <source>Show the name, author and comments the pattern&apos;s file came with</source>
        <translation>Name, Autor und Kommentare aus der Datei des Musters anzeigen</translation>
    </message>
</context>
<context>
    <name>ManualWindow</name>
    <message>
        <source>Game of Life Manual</source>
        <translation>Handbuch zu Game of Life</translation>
    </message>
    <message>
        <source>The manual page is missing.</source>
        <translation>Die Handbuchseite fehlt.</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>%1 cannot be opened as a pattern: %2.</source>
        <translation>%1 kann nicht als Muster geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>%1 cannot be opened as a Life pattern: %2.</source>
        <translation>%1 kann nicht als Life-Muster geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>%1 cannot be opened as a macrocell pattern: %2.</source>
        <translation>%1 kann nicht als Macrocell-Muster geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>%1 cannot be opened as a plaintext pattern: %2.</source>
        <translation>%1 kann nicht als Klartext-Muster geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>%1 cannot be opened as an RLE pattern: %2.</source>
        <translation>%1 kann nicht als RLE-Muster geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>%1 cannot be opened as an image: %2.</source>
        <translation>%1 kann nicht als Bild geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>%1 cannot be opened. %2</source>
        <translation>%1 kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation>%1 konnte nicht gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>1 gray cell was written to %1 as dead cells.</source>
        <translation>1 graue Zelle wurde als tote Zelle in %1 geschrieben.</translation>
    </message>
    <message>
        <source>%1 gray cells were written to %2 as dead cells.</source>
        <translation>%1 graue Zellen wurden als tote Zellen in %2 geschrieben.</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>es ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is empty</source>
        <translation>sie ist leer</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>sie kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>the file cannot be read (%1)</source>
        <translation>die Datei kann nicht gelesen werden (%1)</translation>
    </message>
    <message>
        <source>the file cannot be read again (%1)</source>
        <translation>die Datei kann nicht erneut gelesen werden (%1)</translation>
    </message>
    <message>
        <source>the file is too large (%1 bytes)</source>
        <translation>die Datei ist zu groß (%1 Byte)</translation>
    </message>
    <message>
        <source>the reading was cancelled</source>
        <translation>das Lesen wurde abgebrochen</translation>
    </message>
    <message>
        <source>it changed while it was read</source>
        <translation>sie hat sich beim Lesen geändert</translation>
    </message>
    <message>
        <source>there is not enough memory to read it</source>
        <translation>zum Lesen reicht der Speicher nicht</translation>
    </message>
    <message>
        <source>there is not enough memory for its board</source>
        <translation>für ihr Spielfeld reicht der Speicher nicht</translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation>der Speicher reicht nicht</translation>
    </message>
    <message>
        <source>it is not a whole gzip file (it ends early)</source>
        <translation>sie ist keine vollständige gzip-Datei (sie endet zu früh)</translation>
    </message>
    <message>
        <source>it is not a whole gzip file (%1)</source>
        <translation>sie ist keine vollständige gzip-Datei (%1)</translation>
    </message>
    <message>
        <source>it is not a whole gzip file</source>
        <translation>sie ist keine vollständige gzip-Datei</translation>
    </message>
    <message>
        <source>it inflates to more than %1 bytes, more than the largest board needs</source>
        <translation>entpackt ist sie größer als %1 Byte, mehr als das größte Spielfeld braucht</translation>
    </message>
    <message>
        <source>it is not a pattern Game of Life knows (RLE, plaintext, Life 1.05 or 1.06, macrocell, or its own)</source>
        <translation>sie ist kein Muster, das Game of Life kennt (RLE, Klartext, Life 1.05 oder 1.06, Macrocell oder das eigene)</translation>
    </message>
    <message>
        <source>it is not a PNG or JPEG image</source>
        <translation>sie ist kein PNG- oder JPEG-Bild</translation>
    </message>
    <message>
        <source>it cannot be decoded (%1)</source>
        <translation>sie kann nicht dekodiert werden (%1)</translation>
    </message>
    <message>
        <source>its size does not fit a board</source>
        <translation>ihre Größe passt auf kein Spielfeld</translation>
    </message>
    <message>
        <source>its size of %1 × %2 pixels does not fit a board (at most %3 cells)</source>
        <translation>ihre Größe von %1 × %2 Pixeln passt auf kein Spielfeld (höchstens %3 Zellen)</translation>
    </message>
    <message>
        <source>it is not a property list</source>
        <translation>sie ist keine Property-Liste</translation>
    </message>
    <message>
        <source>it is not a valid binary property list</source>
        <translation>sie ist keine gültige binäre Property-Liste</translation>
    </message>
    <message>
        <source>its root is not a dictionary</source>
        <translation>ihre Wurzel ist kein Dictionary</translation>
    </message>
    <message>
        <source>its property list is nested too deeply</source>
        <translation>ihre Property-Liste ist zu tief verschachtelt</translation>
    </message>
    <message>
        <source>it declares a document type of its own, which a property list does not</source>
        <translation>sie erklärt einen eigenen Dokumenttyp, was eine Property-Liste nicht tut</translation>
    </message>
    <message>
        <source>it holds “rule” more than once</source>
        <translation>sie enthält „rule“ mehr als einmal</translation>
    </message>
    <message>
        <source>its “rule” is not a string</source>
        <translation>ihr „rule“ ist keine Zeichenkette</translation>
    </message>
    <message>
        <source>it does not begin with “[M2]”</source>
        <translation>sie beginnt nicht mit „[M2]“</translation>
    </message>
    <message>
        <source>it does not begin with “#Life 1.05” or “#Life 1.06”</source>
        <translation>sie beginnt nicht mit „#Life 1.05“ oder „#Life 1.06“</translation>
    </message>
    <message>
        <source>it has no header “x = …, y = …”</source>
        <translation>ihr fehlt der Kopf „x = …, y = …“</translation>
    </message>
    <message>
        <source>line %1 is not the header “x = …, y = …”</source>
        <translation>Zeile %1 ist nicht der Kopf „x = …, y = …“</translation>
    </message>
    <message>
        <source>on line %1, %2</source>
        <translation>in Zeile %1: %2</translation>
    </message>
    <message>
        <source>the header is not “x = …, y = …”</source>
        <translation>der Kopf ist nicht „x = …, y = …“</translation>
    </message>
    <message>
        <source>the pattern grows larger than the largest board (%1 cells)</source>
        <translation>das Muster wird größer als das größte Spielfeld (%1 Zellen)</translation>
    </message>
    <message>
        <source>the count %1 is larger than the largest board (%2 cells)</source>
        <translation>die Anzahl %1 ist größer als das größte Spielfeld (%2 Zellen)</translation>
    </message>
    <message>
        <source>its size of %1 × %2 cells is larger than the largest board (%3 cells)</source>
        <translation>seine Größe von %1 × %2 Zellen übersteigt das größte Spielfeld (%3 Zellen)</translation>
    </message>
    <message>
        <source>“%1” marks a cell state other than live or dead</source>
        <translation>„%1“ bezeichnet einen anderen Zellzustand als lebend oder tot</translation>
    </message>
    <message>
        <source>“%1” is not part of an RLE pattern</source>
        <translation>„%1“ gehört nicht zu einem RLE-Muster</translation>
    </message>
    <message>
        <source>the byte %1 is not part of an RLE pattern</source>
        <translation>das Byte %1 gehört nicht zu einem RLE-Muster</translation>
    </message>
    <message>
        <source>a live cell lies outside its torus of %1 × %2 cells</source>
        <translation>eine lebende Zelle liegt außerhalb seines Torus von %1 × %2 Zellen</translation>
    </message>
    <message>
        <source>a live cell lies outside its bounded plane of %1 × %2 cells</source>
        <translation>eine lebende Zelle liegt außerhalb seiner begrenzten Ebene von %1 × %2 Zellen</translation>
    </message>
    <message>
        <source>a board of %1 × %2 cells cannot be made</source>
        <translation>ein Spielfeld von %1 × %2 Zellen kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>the pattern of %1 × %2 cells does not fit on a board of %3 × %4 cells</source>
        <translation>das Muster von %1 × %2 Zellen passt nicht auf ein Spielfeld von %3 × %4 Zellen</translation>
    </message>
    <message>
        <source>there is not enough memory for a board of %1 × %2 cells</source>
        <translation>für ein Spielfeld von %1 × %2 Zellen reicht der Speicher nicht</translation>
    </message>
    <message>
        <source>This pattern uses the rule %1, which is not a Life-like rule: %2.</source>
        <translation>Dieses Muster verwendet die Regel %1, die keine Life-artige Regel ist: %2.</translation>
    </message>
    <message>
        <source>This pattern uses the rule %1, on %2; Game of Life runs Life-like rules on a bounded plane or a torus only.</source>
        <translation>Dieses Muster verwendet die Regel %1 auf %2; Game of Life berechnet Life-artige Regeln nur auf einer begrenzten Ebene oder einem Torus.</translation>
    </message>
    <message>
        <source>a Klein bottle</source>
        <translation>einer Kleinschen Flasche</translation>
    </message>
    <message>
        <source>a cross-surface</source>
        <translation>einer Kreuzhaube</translation>
    </message>
    <message>
        <source>a sphere</source>
        <translation>einer Kugel</translation>
    </message>
    <message>
        <source>a surface it does not know</source>
        <translation>einer Fläche, die es nicht kennt</translation>
    </message>
    <message>
        <source>a torus with a shift</source>
        <translation>einem verschobenen Torus</translation>
    </message>
    <message>
        <source>a torus whose size it cannot read</source>
        <translation>einem Torus, dessen Größe es nicht lesen kann</translation>
    </message>
    <message>
        <source>a torus with an unbounded side</source>
        <translation>einem Torus mit einer unbegrenzten Seite</translation>
    </message>
    <message>
        <source>a bounded plane whose size it cannot read</source>
        <translation>einer begrenzten Ebene, deren Größe es nicht lesen kann</translation>
    </message>
    <message>
        <source>no rule is given</source>
        <translation>es ist keine Regel angegeben</translation>
    </message>
    <message>
        <source>it has %1 cell states (a Generations rule), not two</source>
        <translation>sie hat %1 Zellzustände (eine Generations-Regel), nicht zwei</translation>
    </message>
    <message>
        <source>it is a Larger than Life rule, with a range beyond the eight neighbours</source>
        <translation>sie ist eine Larger-than-Life-Regel, mit einer Reichweite über die acht Nachbarn hinaus</translation>
    </message>
    <message>
        <source>a Life-like rule gives its birth and survival counts, such as B3/S23</source>
        <translation>eine Life-artige Regel nennt ihre Geburts- und Überlebenszahlen, etwa B3/S23</translation>
    </message>
    <message>
        <source>the save was cancelled</source>
        <translation>das Speichern wurde abgebrochen</translation>
    </message>
    <message>
        <source>no file name was given</source>
        <translation>es wurde kein Dateiname angegeben</translation>
    </message>
    <message>
        <source>there is a folder of that name</source>
        <translation>es gibt einen Ordner dieses Namens</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>die Datei ist schreibgeschützt</translation>
    </message>
    <message>
        <source>The recording could not be written: there is not enough memory.</source>
        <translation>Die Aufnahme konnte nicht geschrieben werden: Der Speicher reicht nicht.</translation>
    </message>
    <message>
        <source>The recording stopped after %1: %2.</source>
        <translation>Die Aufnahme endete nach %1: %2.</translation>
    </message>
    <message>
        <source>the board changed size</source>
        <translation>das Spielfeld hat seine Größe geändert</translation>
    </message>
    <message>
        <source>there was not enough memory for its next frame</source>
        <translation>für ihr nächstes Bild reichte der Speicher nicht</translation>
    </message>
    <message>
        <source>a frame could not be encoded (%1)</source>
        <translation>ein Bild konnte nicht kodiert werden (%1)</translation>
    </message>
    <message>
        <source>the scale %1 is not a whole number of pixels a cell</source>
        <translation>der Maßstab %1 ist keine ganze Zahl von Pixeln je Zelle</translation>
    </message>
    <message>
        <source>a run on a board of %1 × %2 cells needs %3 of memory, and this computer has %4</source>
        <translation>ein Lauf auf einem Spielfeld von %1 × %2 Zellen braucht %3 Speicher, und dieser Computer hat %4</translation>
    </message>
    <message>
        <source>a run on a board of %1 × %2 cells needs %3 of memory, which could not be had</source>
        <translation>ein Lauf auf einem Spielfeld von %1 × %2 Zellen braucht %3 Speicher, der nicht zu bekommen war</translation>
    </message>
    <message>
        <source>it has no “bitMapPixelSize”</source>
        <translation>ihr fehlt „bitMapPixelSize“</translation>
    </message>
    <message>
        <source>“bitMapPixelSize” is not a list of two integers</source>
        <translation>„bitMapPixelSize“ ist keine Liste aus zwei ganzen Zahlen</translation>
    </message>
    <message>
        <source>%1 cannot be opened as a Life 1.05 pattern: %2.</source>
        <translation>%1 kann nicht als Life-1.05-Muster geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>%1 cannot be opened as a Life 1.06 pattern: %2.</source>
        <translation>%1 kann nicht als Life-1.06-Muster geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>its data is damaged</source>
        <translation>ihre Daten sind beschädigt</translation>
    </message>
    <message>
        <source>it refers to the entity “%1”, which is not defined</source>
        <translation>sie verweist auf die Entität „%1“, die nicht definiert ist</translation>
    </message>
    <message>
        <source>it is not a well-formed XML property list (line %1: %2)</source>
        <translation>sie ist keine wohlgeformte XML-Property-Liste (Zeile %1: %2)</translation>
    </message>
    <message>
        <source>it holds “%1” more than once</source>
        <translation>sie enthält „%1“ mehr als einmal</translation>
    </message>
    <message>
        <source>its size %1 × %2 has no cells</source>
        <translation>ihre Größe %1 × %2 hat keine Zellen</translation>
    </message>
    <message>
        <source>its size %1 × %2 is larger than the largest board (%3 cells)</source>
        <translation>ihre Größe %1 × %2 übersteigt das größte Spielfeld (%3 Zellen)</translation>
    </message>
    <message>
        <source>“bitMapPixelData” does not hold %1 columns</source>
        <translation>„bitMapPixelData“ enthält nicht %1 Spalten</translation>
    </message>
    <message>
        <source>column %1 does not hold %2 cells</source>
        <translation>Spalte %1 enthält nicht %2 Zellen</translation>
    </message>
    <message>
        <source>the cell at (%1, %2) is not an integer</source>
        <translation>die Zelle bei (%1, %2) ist keine ganze Zahl</translation>
    </message>
    <message>
        <source>the cell at (%1, %2) holds %3, outside 0 to 255</source>
        <translation>die Zelle bei (%1, %2) enthält %3, außerhalb von 0 bis 255</translation>
    </message>
    <message>
        <source>%1 is not a whole number</source>
        <translation>%1 ist keine ganze Zahl</translation>
    </message>
    <message>
        <source>its torus of %1 × %2 cells is larger than the largest board (%3 cells)</source>
        <translation>sein Torus von %1 × %2 Zellen übersteigt das größte Spielfeld (%3 Zellen)</translation>
    </message>
    <message>
        <source>its bounded plane of %1 × %2 cells is larger than the largest board (%3 cells)</source>
        <translation>seine begrenzte Ebene von %1 × %2 Zellen übersteigt das größte Spielfeld (%3 Zellen)</translation>
    </message>
    <message>
        <source>its plane of %1 × %2 cells is larger than the largest board (%3 cells)</source>
        <translation>seine Ebene von %1 × %2 Zellen übersteigt das größte Spielfeld (%3 Zellen)</translation>
    </message>
    <message>
        <source>the pattern of %1 × %2 cells is larger than the largest board (%3 cells)</source>
        <translation>das Muster von %1 × %2 Zellen übersteigt das größte Spielfeld (%3 Zellen)</translation>
    </message>
    <message>
        <source>“%1” is not a cell (“.” dead, “O” or “*” live)</source>
        <translation>„%1“ ist keine Zelle („.“ tot, „O“ oder „*“ lebend)</translation>
    </message>
    <message>
        <source>the byte %1 is not a cell (“.” dead, “O” or “*” live)</source>
        <translation>das Byte %1 ist keine Zelle („.“ tot, „O“ oder „*“ lebend)</translation>
    </message>
    <message>
        <source>“#P” does not give a block’s x and y</source>
        <translation>„#P“ nennt nicht x und y eines Blocks</translation>
    </message>
    <message>
        <source>“%1” is not a cell’s x and y</source>
        <translation>„%1“ nennt nicht x und y einer Zelle</translation>
    </message>
    <message>
        <source>“%1” is not a cell (“.” dead, “*” live)</source>
        <translation>„%1“ ist keine Zelle („.“ tot, „*“ lebend)</translation>
    </message>
    <message>
        <source>the leaf is not 8 rows of 8 cells (“.” dead, “*” live, “$” ending a row)</source>
        <translation>das Blatt besteht nicht aus 8 Zeilen zu je 8 Zellen („.“ tot, „*“ lebend, „$“ beendet eine Zeile)</translation>
    </message>
    <message>
        <source>a node is not its level and four earlier nodes</source>
        <translation>ein Knoten ist nicht seine Stufe und vier frühere Knoten</translation>
    </message>
    <message>
        <source>it holds cells of more than two states (a node of level %1); Game of Life runs live and dead cells only</source>
        <translation>sie enthält Zellen mit mehr als zwei Zuständen (ein Knoten der Stufe %1); Game of Life kennt nur lebende und tote Zellen</translation>
    </message>
    <message>
        <source>the node’s level %1 is beyond %2</source>
        <translation>die Stufe %1 des Knotens liegt über %2</translation>
    </message>
    <message>
        <source>node %1 is referred to before it is given</source>
        <translation>auf Knoten %1 wird verwiesen, bevor er angegeben ist</translation>
    </message>
    <message>
        <source>a node of level %1 holds one of level %2</source>
        <translation>ein Knoten der Stufe %1 enthält einen der Stufe %2</translation>
    </message>
    <message>
        <source>it has more nodes than a pattern on the largest board could need</source>
        <translation>sie hat mehr Knoten, als ein Muster auf dem größten Spielfeld brauchen könnte</translation>
    </message>
    <message>
        <source>it was not opened</source>
        <translation>sie wurde nicht geöffnet</translation>
    </message>
    <message>
        <source>1 generation</source>
        <translation>1 Generation</translation>
    </message>
    <message>
        <source>%1 generations</source>
        <translation>%1 Generationen</translation>
    </message>
    <message>
        <source>at %1 pixels a cell the image would be %2 × %3 pixels, more than the %4 an exported image may have</source>
        <translation>bei %1 Pixeln je Zelle wäre das Bild %2 × %3 Pixel groß, mehr als die %4, die ein exportiertes Bild haben darf</translation>
    </message>
    <message>
        <source>at 1 pixel a cell the board of %1 × %2 cells would be %3 × %4 pixels, more than a GIF image can hold (%5 a side)</source>
        <translation>bei 1 Pixel je Zelle wäre das Spielfeld von %1 × %2 Zellen %3 × %4 Pixel groß, mehr als ein GIF-Bild fassen kann (%5 je Seite)</translation>
    </message>
    <message>
        <source>at %1 pixels a cell the board of %2 × %3 cells would be %4 × %5 pixels, more than a GIF image can hold (%6 a side)</source>
        <translation>bei %1 Pixeln je Zelle wäre das Spielfeld von %2 × %3 Zellen %4 × %5 Pixel groß, mehr als ein GIF-Bild fassen kann (%6 je Seite)</translation>
    </message>
</context>
<context>
    <name>NewPatternSheet</name>
    <message>
        <source>New Pattern</source>
        <translation>Neues Muster</translation>
    </message>
    <message>
        <source>Size of the new pattern, in cells:</source>
        <translation>Größe des neuen Musters in Zellen:</translation>
    </message>
    <message>
        <source>&amp;Width:</source>
        <translation>&amp;Breite:</translation>
    </message>
    <message>
        <source>&amp;Height:</source>
        <translation>&amp;Höhe:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PatternLibrary</name>
    <message>
        <source>Still Lifes</source>
        <translation>Statische Objekte</translation>
    </message>
    <message>
        <source>Block</source>
        <translation>Block</translation>
    </message>
    <message>
        <source>Beehive</source>
        <translation>Bienenstock</translation>
    </message>
    <message>
        <source>Loaf</source>
        <translation>Brotlaib</translation>
    </message>
    <message>
        <source>Boat</source>
        <translation>Boot</translation>
    </message>
    <message>
        <source>Oscillators</source>
        <translation>Oszillatoren</translation>
    </message>
    <message>
        <source>Blinker</source>
        <translation>Blinker</translation>
    </message>
    <message>
        <source>Toad</source>
        <translation>Kröte</translation>
    </message>
    <message>
        <source>Beacon</source>
        <translation>Leuchtfeuer</translation>
    </message>
    <message>
        <source>Pulsar</source>
        <translation>Pulsar</translation>
    </message>
    <message>
        <source>Pentadecathlon</source>
        <translation>Pentadecathlon</translation>
    </message>
    <message>
        <source>Spaceships</source>
        <translation>Raumschiffe</translation>
    </message>
    <message>
        <source>Glider</source>
        <translation>Gleiter</translation>
    </message>
    <message>
        <source>Lightweight Spaceship</source>
        <translation>Leichtes Raumschiff</translation>
    </message>
    <message>
        <source>Middleweight Spaceship</source>
        <translation>Mittelschweres Raumschiff</translation>
    </message>
    <message>
        <source>Heavyweight Spaceship</source>
        <translation>Schweres Raumschiff</translation>
    </message>
    <message>
        <source>Methuselahs</source>
        <translation>Methusalems</translation>
    </message>
    <message>
        <source>R-pentomino</source>
        <translation>R-Pentomino</translation>
    </message>
    <message>
        <source>Acorn</source>
        <translation>Eichel</translation>
    </message>
    <message>
        <source>Diehard</source>
        <translation>Diehard</translation>
    </message>
    <message>
        <source>Guns and Puffers</source>
        <translation>Kanonen und Puffer</translation>
    </message>
    <message>
        <source>Gosper Glider Gun</source>
        <translation>Gosper-Gleiterkanone</translation>
    </message>
    <message>
        <source>Simkin Glider Gun</source>
        <translation>Simkin-Gleiterkanone</translation>
    </message>
    <message>
        <source>Blinker Puffer 1</source>
        <translation>Blinker-Puffer 1</translation>
    </message>
</context>
<context>
    <name>PatternTypes</name>
    <message>
        <source>Plaintext</source>
        <translation>Klartext</translation>
    </message>
    <message>
        <source>RLE, compressed</source>
        <translation>RLE, komprimiert</translation>
    </message>
    <message>
        <source>Macrocell, compressed</source>
        <translation>Macrocell, komprimiert</translation>
    </message>
    <message>
        <source>Game of Life pattern</source>
        <translation>Game-of-Life-Muster</translation>
    </message>
</context>
<context>
    <name>PopulationGraph</name>
    <message>
        <source>Save as PNG…</source>
        <translation>Als PNG speichern …</translation>
    </message>
    <message>
        <source>Save as CSV…</source>
        <translation>Als CSV speichern …</translation>
    </message>
    <message>
        <source>Population Graph</source>
        <translation>Populationsverlauf</translation>
    </message>
    <message>
        <source>Show the population against the generation for the runs of this board</source>
        <translation>Die Population über den Generationen für die Läufe dieses Spielfelds anzeigen</translation>
    </message>
    <message>
        <source>Generation</source>
        <translation>Generation</translation>
    </message>
    <message>
        <source>Population</source>
        <translation>Population</translation>
    </message>
    <message>
        <source>Save population graph</source>
        <translation>Populationsverlauf speichern</translation>
    </message>
    <message>
        <source>Save the population graph somewhere on your disk</source>
        <translation>Den Populationsverlauf auf Ihrem Datenträger speichern</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Saving “%1”…</source>
        <translation>„%1“ wird gespeichert …</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>[options]</source>
        <translation>[Optionen]</translation>
    </message>
</context>
<context>
    <name>RuleCommands</name>
    <message>
        <source>Rule…</source>
        <translation>Regel …</translation>
    </message>
    <message>
        <source>Choose the rule and the world the board runs under</source>
        <translation>Die Regel und die Welt wählen, unter denen das Spielfeld läuft</translation>
    </message>
    <message>
        <source>There is not enough memory to change the rule of this board.</source>
        <translation>Zum Ändern der Regel dieses Spielfelds reicht der Speicher nicht.</translation>
    </message>
</context>
<context>
    <name>RuleDialog</name>
    <message>
        <source>Bounded plane</source>
        <translation>Begrenzte Ebene</translation>
    </message>
    <message>
        <source>Torus</source>
        <translation>Torus</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>Regel</translation>
    </message>
    <message>
        <source>Rule:</source>
        <translation>Regel:</translation>
    </message>
    <message>
        <source>World:</source>
        <translation>Welt:</translation>
    </message>
    <message>
        <source>“%1” is not a Life-like rule: %2.</source>
        <translation>„%1“ ist keine Life-artige Regel: %2.</translation>
    </message>
</context>
<context>
    <name>RunControl</name>
    <message>
        <source>There is not enough memory to compute the next generation of this board.</source>
        <translation>Zum Berechnen der nächsten Generation dieses Spielfelds reicht der Speicher nicht.</translation>
    </message>
</context>
<context>
    <name>Selection</name>
    <message>
        <source>The selection cannot be turned here: turned about its centre, it would reach past the edge of the board.</source>
        <translation>Die Auswahl kann hier nicht gedreht werden: Um ihre Mitte gedreht, ragte sie über den Rand des Spielfelds hinaus.</translation>
    </message>
</context>
<context>
    <name>SelectionCommands</name>
    <message>
        <source>Nothing is selected: drag with Shift over the board to select cells.</source>
        <translation>Nichts ist ausgewählt: Ziehen Sie mit gedrückter Umschalttaste über das Spielfeld, um Zellen auszuwählen.</translation>
    </message>
    <message>
        <source>Random Fill</source>
        <translation>Zufällig füllen</translation>
    </message>
    <message>
        <source>Live cells, in percent of the selection:</source>
        <translation>Lebende Zellen, in Prozent der Auswahl:</translation>
    </message>
</context>
<context>
    <name>StatusPresenter</name>
    <message>
        <source>Generation …</source>
        <translation>Generation …</translation>
    </message>
    <message>
        <source>No board</source>
        <translation>Kein Spielfeld</translation>
    </message>
    <message>
        <source>Whole board</source>
        <translation>Ganzes Spielfeld</translation>
    </message>
    <message>
        <source>Zoom %1%</source>
        <translation>Zoom %1 %</translation>
    </message>
    <message>
        <source> on a torus</source>
        <translation> auf einem Torus</translation>
    </message>
    <message>
        <source>Generation %1</source>
        <translation>Generation %1</translation>
    </message>
    <message>
        <source>Population %1</source>
        <translation>Population %1</translation>
    </message>
    <message>
        <source>%1 × %2 cells</source>
        <translation>%1 × %2 Zellen</translation>
    </message>
    <message>
        <source>Selection %1 × %2</source>
        <translation>Auswahl %1 × %2</translation>
    </message>
</context>
<context>
    <name>TimeCommands</name>
    <message>
        <source>Back to Start</source>
        <translation>Zurück zum Anfang</translation>
    </message>
    <message>
        <source>Step Back</source>
        <translation>Schritt zurück</translation>
    </message>
    <message>
        <source>Stop When Settled</source>
        <translation>Anhalten, wenn stabil</translation>
    </message>
    <message>
        <source>Go back to the board as it was before it was first run or stepped</source>
        <translation>Zum Spielfeld zurückkehren, wie es vor dem ersten Lauf oder Schritt war</translation>
    </message>
    <message>
        <source>Go back one generation</source>
        <translation>Eine Generation zurückgehen</translation>
    </message>
    <message>
        <source>End a run early when the board is empty, still or repeats with a period of up to 1,000</source>
        <translation>Einen Lauf vorzeitig beenden, wenn das Spielfeld leer ist, sich nicht mehr ändert oder sich mit einer Periode von bis zu 1.000 wiederholt</translation>
    </message>
    <message>
        <source>Settled at generation %1: the board is empty</source>
        <translation>Stabil bei Generation %1: Das Spielfeld ist leer</translation>
    </message>
    <message>
        <source>Settled at generation %1: period %2</source>
        <translation>Stabil bei Generation %1: Periode %2</translation>
    </message>
    <message>
        <source>The board is as it was before it was first run.</source>
        <translation>Das Spielfeld ist so, wie es vor dem ersten Lauf war.</translation>
    </message>
    <message>
        <source>There is no earlier generation to go back to.</source>
        <translation>Es gibt keine frühere Generation, zu der zurückgegangen werden kann.</translation>
    </message>
</context>
<context>
    <name>WorkbenchMenus</name>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Patterns</source>
        <translation>&amp;Muster</translation>
    </message>
</context>
</TS>
