#include "output/ErrorText.h"

#include <cerrno>
#include <filesystem>
#include <string_view>

#include "db/SQLiteAccess.h"
#include "output/EcSalesExport.h"
#include "tax/FieldRead.h"
#include "util/NumberText.h"
#include "util/Platform.h"
#include "util/WholeFile.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// A sentence is UTF-8, as the program's words stand in the source, so that
// paths and database texts of either encoding fit into it.
std::string P(std::string_view words) {
  return std::string(words);
}

std::string Quoted(std::string_view foreign) {
  return "\"" + StoredTextAsUtf8(foreign) + "\"";
}

// The name after "marker" in a library message ("no such table: auftrag").
std::string NameAfter(std::string_view message, std::string_view marker) {
  const size_t at = message.find(marker);
  if (at == std::string_view::npos) return {};
  std::string_view name = message.substr(at + marker.size());
  const size_t end = name.find_first_of(" \r\n");
  return std::string(name.substr(0, end));
}

bool EndsInSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

std::string Locked(const ErrorContext& context) {
  return P("Die Datenbank ist gerade von einem anderen Programm gesperrt. ") +
         (context.front == ErrorFront::Window ? P("Versuchen Sie es in einem Moment mit F5 erneut.")
                                              : P("Versuchen Sie es in einem Moment erneut."));
}

// Where the database was named directly (the reporter's --db), advice to check
// it names that, not Pelmora's settings.
bool NamedDirectly(const ErrorContext& context) {
  return context.settingsFile.empty();
}

std::string GivenFile(const ErrorContext& context) {
  return context.front == ErrorFront::Report ? P("die mit --db angegebene Datei")
                                             : P("die angegebene Datei");
}

std::string NotPelmorasShape(const std::string& what, const ErrorContext& context) {
  return P("Die Datenbank hat nicht den Aufbau, den Pelmora anlegt (") + what +
         (NamedDirectly(context)
              ? P(" fehlt). Prüfen Sie, ob ") + GivenFile(context) +
                    P(" die Datenbank von Pelmora ist")
              : P(" fehlt). Prüfen Sie, ob die Einstellungen von Pelmora auf die richtige "
                  "Datenbank "
                  "zeigen")) +
         P("; eine Datenbank einer anderen Pelmora-Version kann Vorlex nicht lesen.");
}

std::string OpenFailed(const ESQLiteException& error, const ErrorContext& context) {
  namespace fs = std::filesystem;
  const std::string& path = error.Path();
  std::error_code ignored;
  if (EndsInSeparator(path)) {
    if (NamedDirectly(context)) {
      return P("Es ist nur ein Ordner angegeben, keine Datenbankdatei: ") + Quoted(path) +
             P(". Nennen Sie die Datei der Datenbank.");
    }
    if (!fs::exists(PathFromText(context.settingsFile), ignored)) {
      return P("Die Einstellungsdatei von Pelmora wurde nicht gefunden: ") +
             Quoted(context.settingsFile) +
             P(". Prüfen Sie, ob Pelmora für diesen Benutzer eingerichtet ist und "
               "seinen Datenpfad gespeichert hat.");
    }
    return P("In der Einstellungsdatei von Pelmora ") + Quoted(context.settingsFile) +
           P(" ist keine Datenbank eingetragen (db_name im Abschnitt [Allgemein]). Prüfen "
             "Sie in Pelmora den Datenpfad.");
  }
  // What to check: Pelmora's settings, or the file named directly.
  const auto checkName = [&] {
    return NamedDirectly(context) ? P(" Prüfen Sie ") + GivenFile(context) + "."
                                  : P(" Prüfen Sie in Pelmora den Namen der Datenbank "
                                      "(db_name).");
  };
  switch (error.Failure()) {
    case SQLiteFailure::Busy:
      return Locked(context);
    case SQLiteFailure::NotADatabase:
      return P("Die Datei ") + Quoted(path) + P(" ist keine Datenbank.") + checkName();
    case SQLiteFailure::Corrupt:
      break;  // as when reading
    case SQLiteFailure::ReadError:
    case SQLiteFailure::Other:
      if (!fs::exists(PathFromText(path), ignored)) {
        return P("Die Datenbank von Pelmora wurde nicht gefunden: ") + Quoted(path) +
               (NamedDirectly(context) ? P(". Prüfen Sie ") + GivenFile(context) + "."
                                       : P(". Prüfen Sie in Pelmora den Datenpfad oder legen "
                                           "Sie die "
                                           "Datenbank dorthin."));
      }
      if (fs::is_directory(PathFromText(path), ignored)) {
        return Quoted(path) + P(" ist ein Ordner, keine Datenbank.") + checkName();
      }
      return P("Die Datenbank von Pelmora kann nicht geöffnet werden: ") +
             Quoted(path) +
             P(". Prüfen Sie, ob Sie die Datei und ihren Ordner lesen dürfen.");
  }
  return {};
}

std::string DatabaseFailed(const ESQLiteException& error, const ErrorContext& context) {
  if (!error.Path().empty()) {
    std::string sentence = OpenFailed(error, context);
    if (!sentence.empty()) return sentence;
  }
  const std::string_view message = error.what();
  switch (error.Failure()) {
    case SQLiteFailure::Busy:
      return Locked(context);
    case SQLiteFailure::Corrupt:
    case SQLiteFailure::NotADatabase:
      return P(
          "Die Datenbank von Pelmora ist beschädigt. Spielen Sie in Pelmora eine "
          "Sicherung zurück oder lassen Sie Pelmora die Datenbank reparieren.");
    case SQLiteFailure::ReadError:
      return P(
          "Die Datenbank von Pelmora konnte nicht gelesen werden (Lesefehler). Versuchen Sie "
          "es erneut; bleibt der Fehler, prüfen Sie den Datenträger.");
    case SQLiteFailure::Other:
      break;
  }
  if (std::string table = NameAfter(message, "no such table: "); !table.empty()) {
    return NotPelmorasShape(P("Tabelle ") + StoredTextAsUtf8(table), context);
  }
  for (const std::string_view marker :
       {std::string_view("no such column: "), std::string_view("Field not found in dataset: ")}) {
    if (std::string column = NameAfter(message, marker); !column.empty()) {
      return NotPelmorasShape(P("Spalte ") + StoredTextAsUtf8(column), context);
    }
  }
  if (std::string column = NameAfter(message, "Field ");
      !column.empty() && message.find("Not found") != std::string_view::npos) {
    return NotPelmorasShape(P("Spalte ") + StoredTextAsUtf8(column), context);
  }
  return P(
      "Die Datenbank von Pelmora konnte nicht ausgewertet werden. Die Meldung darunter "
      "nennt den Grund.");
}

std::string NotSaved(const EWriteError& error) {
  const std::string unchanged = error.Existed() ? P(" Die alte Datei ist unverändert.")
                                                : P(" Es wurde keine Datei angelegt.");
  std::string reason;
  switch (IsDiskFullError(error.Reason()) ? ENOSPC : error.Reason()) {
    case ENOENT:
      reason = P("Der Ordner existiert nicht. Wählen Sie einen anderen Ort.");
      break;
    case ENOTDIR:
      reason =
          P("Im Pfad steht eine Datei, wo ein Ordner sein müsste. Wählen Sie einen "
            "anderen Ort.");
      break;
    case EACCES:
    case EPERM:
      reason =
          P("Sie dürfen dort nicht schreiben. Wählen Sie einen anderen Ort.");
      break;
    case EROFS:
      reason = P("Der Datenträger ist schreibgeschützt. Wählen Sie einen anderen Ort.");
      break;
    case EISDIR:
      reason = P("Unter diesem Namen liegt ein Ordner. Wählen Sie einen anderen Namen.");
      break;
    case ENOSPC:
      reason = P("Der Datenträger ist voll.") + unchanged;
      break;
    case EFBIG:
      reason = P("Die Datei wäre größer, als das System erlaubt.") +
               unchanged;
      break;
    default:
      reason = error.Outcome() == SaveOutcome::CannotCreate
                   ? P("Dort kann keine Datei angelegt werden. Wählen Sie einen anderen Ort.")
                   : P("Das Schreiben ist fehlgeschlagen.") + unchanged;
  }
  return StoredTextAsUtf8(error.ShownName()) + P(" konnte nicht gespeichert werden: ") + reason;
}

std::string SentenceOf(const std::exception& error, const ErrorContext& context) {
  if (const auto* db = dynamic_cast<const ESQLiteException*>(&error)) {
    return DatabaseFailed(*db, context);
  }
  if (const auto* cell = dynamic_cast<const EFieldConvertError*>(&error)) {
    return P("In Pelmora steht ein Wert, der keine Zahl ist: Spalte ") +
           StoredTextAsUtf8(cell->Column()) + ", " + StoredTextAsUtf8(cell->Where()) +
           P(". Korrigieren Sie ihn in Pelmora und werten Sie den Zeitraum danach erneut aus.");
  }
  if (dynamic_cast<const EConvertError*>(&error) != nullptr) {
    return P(
        "In Pelmora steht ein Wert, der keine Zahl ist. Korrigieren Sie ihn in Pelmora und "
        "werten Sie den Zeitraum danach erneut aus.");
  }
  if (const auto* written = dynamic_cast<const EWriteError*>(&error)) {
    if (written->NamesFile()) return NotSaved(*written);
    return P(
        "Die Ausgabe konnte nicht vollständig geschrieben werden (Datenträger voll "
        "oder Ausgabe geschlossen).");
  }
  return P(
      "Die Auswertung wurde wegen eines unerwarteten Fehlers abgebrochen. Die Meldung "
      "darunter nennt ihn.");
}

}  // namespace

ErrorText DescribeError(const std::exception& error, const ErrorContext& context) {
  // A refused EC sales list already says what to correct, in the trader's words.
  if (dynamic_cast<const EEcSalesRefused*>(&error) != nullptr) return {error.what(), {}};
  return {SentenceOf(error, context), MixedTextAsUtf8(error.what())};
}

ErrorText DescribeCurrentException(const ErrorContext& context) {
  try {
    throw;
  } catch (const std::exception& error) {
    return DescribeError(error, context);
  } catch (...) {
    return {P("Die Auswertung wurde wegen eines unerwarteten Fehlers abgebrochen."),
            "Unbekannter Fehler"};
  }
}

}  // namespace vorlex
