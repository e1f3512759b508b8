// A demo installation of the invoicing product for trying Vorlex: the settings
// file and a database with a year and a quarter of a small tea trader's
// business, dated relative to the day it is made.
#pragma once

#include <filesystem>

#include "util/uDatum.h"

namespace vorlex::demo {

struct DemoInstallation {
  std::filesystem::path settingsFile;  // <appData>/Pelmora/pelmora.ini
  std::filesystem::path database;      // <appData>/Pelmora/Daten/pelmora.db
};

// The settings file names the database folder relative to itself.
inline constexpr const char* kDemoDbFolder = "Daten";
inline constexpr const char* kDemoDbName = "pelmora.db";
inline constexpr const char* kDemoVatId = "DE298765434";
// The current month and the fourteen before it.
inline constexpr int kDemoMonths = 15;

// Where the installation for appData goes; nothing is written.
DemoInstallation DemoPaths(const std::filesystem::path& appData);

// Writes the settings file and the database under appData and nowhere else.
// Every entry is dated from the first day of the month fourteen months before
// today up to today, never later; the current month always holds orders by
// invoice date and by payment date, and cash receipts and expenses at 7 and 19 %.
// The content depends on nothing but today. Raises std::runtime_error when the
// settings file or the database exists already, so that a real installation is
// never replaced.
DemoInstallation MakeDemoInstallation(const std::filesystem::path& appData,
                                      const CalendarDate& today);

// Today in local time.
CalendarDate LocalToday();

// "YYYY-MM-DD" of a valid date; raises std::runtime_error otherwise.
CalendarDate ParseIsoDate(const std::string& text);

}  // namespace vorlex::demo
