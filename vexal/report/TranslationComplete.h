// The completion dialog of an import: how the translation went, and whether
// to open the report ("View Report") when the dialog is closed.
#pragma once

#include <cstdint>

#include "platform/dialogs/Dialogs.h"

class TTranslationStatus : public dialogs::Form {
 public:
  // The form "TranslationStatus", owned by a host window (0: none).
  explicit TTranslationStatus(uintptr_t ownerWindow);

  dialogs::Label& LabelStatus;
  dialogs::CheckBox& CheckBoxViewReport;
  dialogs::Bevel& Bevel1;
  dialogs::Button& ButtonOK;

  // Close (or Enter): result OK.
  void ButtonOKClick(dialogs::Control& sender);
  // Escape on the form, the check box or the button: result Cancel.
  void ButtonOKKeyDown(dialogs::Control& sender, uint16_t& key, dialogs::TShiftState shift);
  // The Close button takes the focus.
  void FormActivate(dialogs::Control& sender);
};
