#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorn {

/// Icons of message boxes.
enum class MessageIcon { kInformation, kExclamation, kCritical };

/// Every modal exchange with the user goes through here: message boxes,
/// questions, the input box and the folder picker. The desktop shows Qt dialogs, a run without a
/// window writes to standard error, tests answer from a script.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  /// A message box titled with the product name.
  virtual void ShowMessage(MessageIcon icon, std::string_view text) = 0;
  /// A message box titled like the dialog it answers; where nothing shows a
  /// title (a run without a window) it is an ordinary message.
  virtual void ShowTitledMessage(MessageIcon icon, std::string_view title,
                                 std::string_view text) = 0;
  /// A Yes/No question titled with the product name; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  /// A line of text typed in an input box titled with the product name;
  /// nothing when cancelled.
  virtual std::optional<std::string> InputBox(std::string_view prompt,
                                              std::string_view default_text) = 0;
  /// A folder chosen in the folder picker; nothing when cancelled.
  virtual std::optional<std::string> PickFolder(std::string_view title) = 0;
};

}  // namespace vorn
