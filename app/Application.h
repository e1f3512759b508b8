// The application object and the message boxes: an error that leaves an event
// handler or start-up is shown with its message and the program carries on.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>
#include <string_view>
#include <type_traits>

class QLocale;
class QTranslator;
class QWidget;

namespace vorlex {

enum class MessageKind { Error, Plain };

// Where message boxes are shown: a modal box by default; tests answer it.
// detail: the technical message behind an error, shown on request; empty for
// plain messages.
using MessageBoxFunction = std::function<void(QWidget* parent, MessageKind kind,
                                              const QString& text, const QString& detail)>;
MessageBoxFunction& MessageBoxSeam();

// The modal box itself: an error box, or a plain box with an OK button.
void ShowMessageBox(QWidget* parent, MessageKind kind, const QString& text,
                    const QString& detail = {});

// Where a question with the answers yes and no is asked: a modal box by
// default, No chosen unless the user takes Yes; tests answer it. True: yes.
using QuestionFunction = std::function<bool(QWidget* parent, const QString& text)>;
QuestionFunction& QuestionSeam();
bool AskYesNo(const QString& text);

// The program's message (bytes, carriage returns as line breaks) in a plain box.
void ShowMessage(std::string_view message);

// Where the box of "?" is shown: a plain box with OK and "Hilfe"; tests answer
// it. True: "Hilfe" was chosen.
using HelpBoxFunction = std::function<bool(QWidget* parent, const QString& text)>;
HelpBoxFunction& HelpBoxSeam();
// The program's message as ShowMessage shows it, with the button "Hilfe".
bool ShowMessageWithHelp(std::string_view message);

// The exception being handled, in an error box: the sentence that says what
// is wrong and what to do, its technical message as the detail.
void ShowCurrentException();

// Runs f; an error that leaves it is shown and swallowed. False after an error.
template <typename F>
bool RunShowingErrors(F&& f) {
  try {
    f();
    return true;
  } catch (...) {
    ShowCurrentException();
    return false;
  }
}

// Connects signal of sender to handler, which runs under RunShowingErrors.
// handler is a member function of receiver or any function; it takes the
// signal's arguments or none.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection ConnectShowingErrors(const Sender* sender, Signal signal,
                                             Receiver* receiver, Handler handler) {
  return QObject::connect(sender, signal, receiver, [receiver, handler](const auto&... args) {
    RunShowingErrors([&] {
      if constexpr (std::is_member_function_pointer_v<Handler>) {
        if constexpr (std::is_invocable_v<Handler, Receiver*, decltype(args)...>) {
          std::invoke(handler, receiver, args...);
        } else {
          std::invoke(handler, receiver);
        }
      } else if constexpr (std::is_invocable_v<Handler, decltype(args)...>) {
        handler(args...);
      } else {
        handler();
      }
    });
  });
}

// Loads Qt's own texts (the file dialog, the buttons of the boxes) for locale
// from Qt's translations folder, or else from those built into the program;
// false when there are none for its language.
bool LoadQtTranslations(QTranslator& translator, const QLocale& locale);

// The application object, named "Vorlex" for the titles of its boxes.
class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);

  // Exceptions never cross the event loop: whatever an event handler raises is
  // shown here. The window's own handlers are connected through
  // ConnectShowingErrors, which shows their errors before they reach the toolkit.
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vorlex
