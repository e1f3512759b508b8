#include "output/HelpText.h"

#include "util/uString.h"

namespace vorlex {

namespace {

// A path as the page shows it: UTF-8, its "<", ">" and "&" escaped.
std::string Place(const std::string& path) {
  if (path.empty()) return "<i>(nicht gefunden)</i>";
  std::string html = "<code>";
  for (const char c : StoredTextAsUtf8(path)) {
    switch (c) {
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '&':
        html += "&amp;";
        break;
      default:
        html += c;
    }
  }
  return html + "</code>";
}

}  // namespace

std::string HelpHtml(const HelpPlaces& places) {
  return R"(<h2>Vorlex – Hilfe</h2>
<p>Vorlex liest die Aufträge und das Kassenbuch aus der Datenbank von Pelmora, nur lesend, und
zeigt die Zahlen der Umsatzsteuer-Voranmeldung eines Zeitraums: eines Monats, eines Quartals,
eines Jahres oder der Tage „von … bis“.</p>

<h3>Die fünf Kennzahlen</h3>
<ul>
<li><b>Kz 41</b>: innergemeinschaftliche Lieferungen an Unternehmen mit USt-IdNr. in anderen
EU-Staaten (steuerfrei).</li>
<li><b>Kz 44</b>: innergemeinschaftliche Lieferungen neuer Fahrzeuge an Abnehmer ohne
USt-IdNr.</li>
<li><b>Kz 81</b>: steuerpflichtige Umsätze zu 19 % (netto).</li>
<li><b>Kz 86</b>: steuerpflichtige Umsätze zu 7 % (netto).</li>
<li><b>Kz 66</b>: die Vorsteuer aus den Ausgaben des Kassenbuchs.</li>
</ul>
<p>Die Statusleiste zeigt dazu <b>Kz 83</b>, die verbleibende Vorauszahlung: die Steuer von
Kz 81 und 86 aus vollen Euro, wie das Portal sie rechnet, weniger Kz 66 (negativ eine
Erstattung). Ein Klick auf ein Bild zeigt in der Liste nur die Einträge dieser Kennzahl, ein
zweiter Klick wieder alle.</p>

<h3>Ist und Soll</h3>
<p><b>Ist</b> (Istversteuerung) nimmt die Aufträge nach ihrem Zahlungsdatum, <b>Soll</b>
(Sollversteuerung) nach ihrem Rechnungsdatum. Das Kassenbuch zählt in beiden nach seinem
Datum. Ein Auftrag zählt immer mit seinem ganzen Rechnungsbetrag, auch wenn nur ein Teil
bezahlt ist; ein Hinweis nennt solche Aufträge.</p>

<h3>Zwei Zuordnungen: „einfach“ und „genau“</h3>
<p><b>„einfach“</b> (die Vorgabe) ordnet wie Vorlex es immer tat, allein nach dem Land des
Kunden: „CH“ liegt außerhalb der EU (nur in der Summe „Nicht EU“ der Liste), „A“, „E“ und
„LUX“ sind die EU (mit USt-IdNr. Kz 41, ohne Kz 44), jeder andere Auftrag ist Kz 81, gleich
zu welchem Steuersatz. Im Kassenbuch zählen nur 7 und 19 %.</p>
<p><b>„genau“</b> erkennt jeden EU-Staat an ISO-Code, Kfz-Kennzeichen oder Präfix der
USt-IdNr.:</p>
<ul>
<li>ein Kunde in einem anderen EU-Staat <i>mit</i> USt-IdNr.: Kz 41 (Lieferungen) oder Kz 21
(sonstige Leistungen), im Zeitraum der Rechnung, auch unter Ist;</li>
<li>ein Kunde außerhalb der EU (CH, US, GB, NO …): Kz 43 (Ausfuhr) oder Kz 45 (Leistungen im
Ausland);</li>
<li>jeder andere Auftrag (Inland, unbekanntes Land, EU-Kunde ohne USt-IdNr.) nach den
Steuersätzen seiner Positionen: 19 % Kz 81, 7 % Kz 86, ein anderer Satz über 0 Kz 35 mit
der Steuer in Kz 36, 0 % und ein Auftrag ohne Umsatzsteuer „0 % / steuerfrei“, das Vorlex
keiner Kennzahl zuordnen kann (Kz 48 oder 87); das Skonto wird nach den Nettosummen der
Positionen verteilt;</li>
<li>im Kassenbuch Einnahmen zu anderen Sätzen in Kz 35/36 und die Vorsteuer der Ausgaben zu
jedem Satz über 0 in Kz 66.</li>
</ul>
<p>Beide lassen Teilzahlungen, die Beträge von Gutschriften und des Kassenbuchs so, wie sie
gespeichert sind. Ob das Ausland Lieferungen oder sonstige Leistungen erhält, vermerkt Pelmora
nicht: das sagt die Einstellung „Umsätze mit dem Ausland“ (<code>vorlex-report
--sales</code>), ohne sie gelten Lieferungen. Die Zuordnung wählt das Fenster
(„Zuordnung: einfach“ oder „genau“) und <code>vorlex-report --classify</code>; die
Statusleiste nennt die eines Laufs.</p>

<h3>Was in Mein ELSTER eingetragen wird</h3>
<p>„Für Mein ELSTER“ (Strg+M) zeigt die Werte so, wie das Formular sie nimmt, nur die nicht 0
sind: die Bemessungsgrundlagen (Kz 41, 44, 81, 86, 21, 35, 43, 45) in <b>vollen Euro</b>, die
Cent weggelassen, und die Steuer, Kz 36, <b>Kz 66</b>, 39 und <b>Kz 83</b> in <b>Euro und
Cent</b>. Jeder Wert hat einen Knopf, der ihn kopiert („1234“, „1234,56“).</p>

<h3>Hinweise</h3>
<p>Nach jedem Lauf nennt die Statusleiste die Zahl der Hinweise; ein Klick öffnet sie neben dem
Fenster. Sie nennen Einträge, die wahrscheinlich in der falschen Kennzahl stehen, und was zu
prüfen ist; sie ändern keine Zahl. Ein Hinweis auswählen zeigt seine Zeile in der Liste. Unter
„einfach“ endet ein Hinweis, den „genau“ auflöst, mit dem, was „genau“ täte
(„… Zuordnung genau: Kz 86“), und der Knopf „Zuordnung „genau“ verwenden“ wechselt dorthin;
unter „genau“ entfallen diese Hinweise.</p>

<h3>Exporte</h3>
<p>„-&gt; .CSV“ (Strg+S) speichert die Liste, wie sie zu sehen ist, außerdem die
„Tabelle für Tabellenkalkulation“ (UTF-8, „;“, eine Zeile je Eintrag) und die
„Zusammenfassende Meldung (BZSt-Import)“ eines Monats oder Quartals: je USt-IdNr. die Summe
in vollen Euro, nach Rechnungsdatum. Unter „einfach“ wird sie verweigert, solange der Zeitraum
Lieferungen an Kunden mit der USt-IdNr. eines anderen EU-Staats hat als A, E oder LUX; dann
„genau“ wählen. Der Knopf „Jahresübersicht“ zeigt jeden Monat und jedes Quartal eines
Jahres.</p>

<h3>Der Abgabekalender</h3>
<p>„Abgabe...“ (Strg+E) hält je Jahr fest, ob monatlich oder vierteljährlich abgegeben wird,
mit oder ohne Dauerfristverlängerung, und die Sondervorauszahlung. Die Voranmeldung ist am
10. des Folgemonats fällig, mit Dauerfristverlängerung einen Monat später, an einem
Wochenende oder bundesweiten Feiertag am nächsten Werktag; die Zusammenfassende Meldung am
25. ohne Verlängerung. Die Dezember-Voranmeldung mit Dauerfristverlängerung zieht die
Sondervorauszahlung als Kz 39 ab.</p>

<h3>Die Ablage der Abgaben</h3>
<p>Ein abgegebener Monat oder ein Quartal wird mit allen Kennzahlen und Einträgen vermerkt
(im Programm <code>vorlex-report --mark-filed</code>). Jeder spätere Lauf dieses Zeitraums
vergleicht sich damit: „Abgegeben am … – unverändert“ oder „Seit der Abgabe am … geändert“ mit
den geänderten Einträgen und der berichtigten Anmeldung (Kz 10: 1). Ein Vermerk wird nie
geändert oder gelöscht; die Berichtigung ist ein neuer. Vermerke gehören zu der USt-IdNr. des
Unternehmers (ohne eine zu dem Pfad der Datenbank): eine verschobene Datenbank behält sie,
die eines anderen Unternehmers werden nicht vermischt.</p>

<h3>Dateien und Einstellungen</h3>
<p>Auf diesem Rechner:</p>
<ul>
<li>Einstellungsdatei von Pelmora: )" +
         Place(places.pelmoraSettings) + R"(</li>
<li>Datenbank von Pelmora: )" +
         Place(places.database) + R"(</li>
<li>Einstellungen von Vorlex (Versteuerung, Fenster, Abgabekalender): )" +
         Place(places.settings) + R"(</li>
<li>Ablage der Abgaben: )" +
         Place(places.ledger) + R"(</li>
</ul>
<p>Unter Linux sucht Vorlex Pelmoras Einstellungsdatei <code>Pelmora/pelmora.ini</code> in
<code>$APPDATA</code>, sonst in <code>$XDG_CONFIG_HOME</code> oder <code>~/.config</code>;
seine eigenen Einstellungen stehen in <code>~/.config/Vorlex/vorlex.ini</code>, die Ablage in
<code>~/.local/share/Vorlex/vorlex.db</code> (<code>$XDG_DATA_HOME</code>, wo gesetzt). Unter
Windows liegen alle drei im Anwendungsdatenordner <code>%APPDATA%</code>:
<code>Pelmora\pelmora.ini</code>, <code>Vorlex\vorlex.ini</code> und
<code>Vorlex\vorlex.db</code>. Pelmoras Datenbank steht in dessen Einstellungsdatei
(<code>db_pfad</code>, <code>db_name</code>); Vorlex schreibt nie in Pelmoras Ordner.</p>

<h3>Tasten</h3>
<p>F1 diese Hilfe, F5 den Zeitraum neu auswerten, Strg+S „-&gt; .CSV“, Strg+E „Abgabe...“,
Strg+M „Für Mein ELSTER“, Escape schließt die Hinweise und die Jahresübersicht.</p>
)";
}

}  // namespace vorlex
