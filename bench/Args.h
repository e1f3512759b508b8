// One reader for the command lines of vorlex-bench's sub-commands: options
// with and without a value, numbers checked against their range; each error
// names the option and raises std::invalid_argument.
#pragma once

#include <charconv>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlex::bench {

class TArgs {
 public:
  explicit TArgs(std::vector<std::string> args) : args_(std::move(args)) {}

  // Moves to the next argument; false past the last.
  bool Next() { return ++next_ <= args_.size(); }
  const std::string& Arg() const { return args_[next_ - 1]; }
  bool Is(const char* name) const { return Arg() == name; }

  // The value after the current option, which it consumes.
  const std::string& Value() {
    if (next_ >= args_.size()) throw std::invalid_argument(Arg() + " needs a value");
    return args_[next_++];
  }

  // The value as a number from minimum to maximum.
  template <typename T>
  T Number(T minimum, T maximum) {
    const std::string& option = Arg();
    const std::string& text = Value();
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < minimum || value > maximum) {
      throw std::invalid_argument(option + " needs a number from " + Text(minimum) + " to " +
                                  Text(maximum) + ", not \"" + text + "\"");
    }
    return value;
  }

  // --dir DIR and --runs N, which every measuring sub-command takes; false for
  // any other argument.
  bool DirOrRuns(std::string& dir, int& runs) {
    if (Is("--dir")) {
      dir = Value();
    } else if (Is("--runs")) {
      runs = Number<int>(1, 1000);
    } else {
      return false;
    }
    return true;
  }

  [[noreturn]] void Unknown() const {
    throw std::invalid_argument("unknown argument \"" + Arg() + "\"");
  }

 private:
  template <typename T>
  static std::string Text(T value) {
    if constexpr (std::is_integral_v<T>) {
      return std::to_string(value);
    } else {
      return std::to_string(static_cast<long long>(value));
    }
  }

  std::vector<std::string> args_;
  size_t next_ = 0;  // one past the current argument
};

}  // namespace vorlex::bench
