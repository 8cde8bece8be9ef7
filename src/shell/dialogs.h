#pragma once

#include <string_view>

namespace vorn {

/// Icons of message boxes.
enum class MessageIcon { kInformation, kExclamation, kCritical };

/// Every modal exchange with the user goes through here: message boxes and
/// questions. The desktop shows Qt dialogs, a run without a window writes to
/// standard error, tests answer from a script.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  /// A message box titled with the product name.
  virtual void ShowMessage(MessageIcon icon, std::string_view text) = 0;
  /// A Yes/No question titled with the product name; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
};

}  // namespace vorn
