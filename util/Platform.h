// The places where Windows and POSIX systems differ, behind one set of
// functions: file names and their text, the environment, the per-user
// settings folder, the program's arguments, its standard streams and its
// file's version. The program keeps texts inside as 8-bit strings; on Windows
// every file name and argument among them is UTF-8, on POSIX systems it is
// the bytes the system gave.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlex {

// The system the program runs on, for texts that name its own places.
enum class System { Posix, Windows };
extern const System kSystem;

// The separator the system writes between folders: '\' on Windows, '/' else.
extern const char kPathSeparator;

// A file name as the program holds it, as the file system's path, and back
// with the system's own separators.
std::filesystem::path PathFromText(std::string_view text);
std::string PathText(const std::filesystem::path& path);

// The value of an environment variable; empty text when it is not set.
std::string EnvironmentValue(const std::string& name);

// The per-user folder for settings when the environment names none:
// $XDG_CONFIG_HOME, else ~/.config on POSIX systems; the roaming
// application-data folder on Windows.
std::string UserSettingsFolder();

// The per-user folder for a program's own data: $XDG_DATA_HOME, else
// ~/.local/share on POSIX systems; the roaming application-data folder on
// Windows. No separator at its end.
std::string UserDataFolder();

// Whether a folder named in a settings file, with '/' as its separator,
// stands on its own rather than counting from the settings file's folder: a
// leading '/' everywhere, and a drive ("C:/") or a server share ("//server")
// on Windows.
bool IsAbsoluteSettingsPath(std::string_view path);

// Where the system keeps its fonts for a program that reads font files
// itself: the Fonts folder on Windows; empty on POSIX systems, where
// fontconfig finds them.
std::string SystemFontsFolder();

// A folder or file name with '/' separators in the system's own.
std::string NativeSeparators(std::string path);

// A file or folder name read from Pelmora's settings file, as the program
// holds file names: on Windows the file is Windows-1252 (or UTF-8), so the
// name becomes UTF-8; elsewhere its bytes stand.
std::string SettingsTextAsFileName(std::string_view text);

// The command line's arguments after the program's name, as the program
// holds texts (on Windows read as UTF-16 from the system, not in the ANSI code
// page).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// For a command-line program: standard output and error carry exactly the
// bytes written ("\n" stays one byte on Windows), and a file-size limit makes
// a write fail instead of ending the program.
void PrepareStandardStreams();

// Writes bytes to standard output or error (stream). Where the stream is a
// Windows console, it gets the characters the bytes stand for (UTF-8, else
// Windows-1252), whatever the console's code page; a file, a pipe or a
// terminal gets exactly the bytes.
void WriteStandardStream(std::FILE* stream, std::string_view bytes);

// Flushes the stream; false when anything written to it so far failed.
bool FlushStandardStream(std::FILE* stream);

// Whether an errno value says that the disk (or the user's quota on it) is full.
bool IsDiskFullError(int reason);

// The four numbers of a program file's version (major, minor, release,
// build) from its version resource; the running program's for an empty
// name. Empty where the file has none, and on POSIX systems, whose program
// files carry no version.
std::optional<std::array<std::uint16_t, 4>> FileVersionNumbers(const std::string& file);

// The local calendar time of t.
std::tm LocalTime(std::time_t t);

}  // namespace vorlex
