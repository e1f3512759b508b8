// What a trader reads when something goes wrong: one German sentence that
// says what is wrong and what to do, and beneath it the technical message as
// it was raised. Both front ends show errors through this one mapping.
#pragma once

#include <exception>
#include <string>

namespace vorlex {

// Where the error is shown: the window offers F5 to try again.
enum class ErrorFront { Window, Report };

struct ErrorContext {
  ErrorFront front = ErrorFront::Window;
  // Pelmora's settings file the database was looked up in; empty where the
  // database was named directly.
  std::string settingsFile;
};

struct ErrorText {
  std::string sentence;  // UTF-8
  std::string detail;    // the exception's own message as UTF-8, each database
                         // text in it decoded as the list decodes it; empty
                         // where the message is the trader's already
};

ErrorText DescribeError(const std::exception& error, const ErrorContext& context);
// The exception being handled; any other thrown object too.
ErrorText DescribeCurrentException(const ErrorContext& context);

}  // namespace vorlex
