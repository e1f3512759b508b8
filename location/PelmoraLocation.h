// Where Pelmora keeps its database: its settings file in the user's
// application-data folder names the folder and the file. No Qt here: the window
// and the reporter both use it.
#pragma once

#include <string>

namespace vorlex {

// The value of an environment variable; empty text when it is not set.
std::string GetEnvVar(const std::string& name);

// Pelmora's folder with a trailing separator: $APPDATA when set, otherwise the
// per-user configuration folder ($XDG_CONFIG_HOME, else $HOME/.config), then
// "Pelmora".
std::string PelmoraAppDataDir();

struct DatabaseLocation {
  std::string DbFolder;  // always ends in a separator
  std::string DbName;    // as read; may be empty
  std::string Path() const { return DbFolder + DbName; }
};

// Reads "db_pfad" and "db_name" of section "Allgemein". A relative folder is
// taken relative to the settings file's folder and normalised; an absolute one
// stands as it is; a blank one means appDataDir.
DatabaseLocation ReadDatabaseLocation(const std::string& settingsFile,
                                      const std::string& appDataDir);

inline constexpr const char* kSettingsFileName = "pelmora.ini";

}  // namespace vorlex
