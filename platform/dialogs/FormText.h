// A form as text, for a person who works a dialog by hand through the host
// (a terminal, say), and the driver that plays the person's actions.
//
// The text has one line per control that shows, in tab order, and lines
// for what the control holds; fields are separated by tab characters (tabs
// and line breaks inside texts become blanks, "&" marks are removed):
//
//   form    NAME  CAPTION
//   label   NAME  CAPTION
//   button  NAME  FLAGS  CAPTION
//   check   NAME  FLAGS  CAPTION
//   list    NAME  FLAGS  TEXT            then "item  INDEX  TEXT" per item
//   grid    NAME  FLAGS  COLS  ROWS  COL  ROW   then "row  INDEX  CELL..." per row
//   pages   NAME  FLAGS  ACTIVE-CAPTION  then "tab  INDEX  CAPTION" per page
//   text    NAME  FLAGS                  then "line  TEXT" per line
//   panel   NAME  FLAGS  CAPTION
//
// FLAGS is "-" or a list separated by commas of: focused, default, cancel,
// disabled, ticked, open.
#pragma once

#include <string>

#include "platform/dialogs/Dialogs.h"

namespace dialogs {

std::string FormAsText(const Form& form);

// Plays one line of a dialog script on a shown form ("form" lines are not
// actions here). False, with the reason, when it cannot be read or played;
// the form stays as the action left it.
bool PlayActionLine(Form& form, const std::string& line, std::string& error);

// Lets the host's person work the form: answers false (and does nothing)
// when the host does not work it by hand; else plays the person's actions
// until the form closes (a person who goes away closes it with mrCancel).
bool RunHostActions(Form& form);

}  // namespace dialogs
