#include "vexal/report/TranslationComplete.h"

using namespace dialogs;

TTranslationStatus::TTranslationStatus(uintptr_t ownerWindow)
    : Form("TranslationStatus", ownerWindow),
      LabelStatus(Add<Label>("LabelStatus")),
      CheckBoxViewReport(Add<CheckBox>("CheckBoxViewReport")),
      Bevel1(Add<Bevel>("Bevel1")),
      ButtonOK(Add<Button>("ButtonOK")) {
  Caption = "Wenz Translator";
  BorderStyle = FormBorder::Dialog;
  BorderIcons = 0;
  ClientWidth = 239;
  ClientHeight = 100;
  Position = FormPosition::ScreenCenter;
  FontName = "MS Sans Serif";
  FontSize = 8;
  OnActivate = "FormActivate";
  OnKeyDown = "ButtonOKKeyDown";

  LabelStatus.Left = 13;
  LabelStatus.Top = 9;
  LabelStatus.Width = 210;
  LabelStatus.Height = 13;

  CheckBoxViewReport.Caption = "&View Report";
  CheckBoxViewReport.Left = 16;
  CheckBoxViewReport.Top = 34;
  CheckBoxViewReport.Width = 97;
  CheckBoxViewReport.Height = 17;
  CheckBoxViewReport.OnKeyDown = "ButtonOKKeyDown";

  // The horizontal rule across the dialog.
  Bevel1.Shape = BevelShape::TopLine;
  Bevel1.Left = 0;
  Bevel1.Top = 59;
  Bevel1.Width = 239;
  Bevel1.Height = 2;

  ButtonOK.Caption = "Close";
  ButtonOK.Left = 155;
  ButtonOK.Top = 70;
  ButtonOK.Width = 75;
  ButtonOK.Height = 24;
  ButtonOK.Default = true;
  ButtonOK.OnClick = "ButtonOKClick";
  ButtonOK.OnKeyDown = "ButtonOKKeyDown";

  Bind("ButtonOKClick", TNotifyEvent([this](Control& s) { ButtonOKClick(s); }));
  Bind("ButtonOKKeyDown", TKeyEvent([this](Control& s, uint16_t& key, TShiftState shift) {
         ButtonOKKeyDown(s, key, shift);
       }));
  Bind("FormActivate", TNotifyEvent([this](Control& s) { FormActivate(s); }));
}

void TTranslationStatus::ButtonOKClick(Control& /*sender*/) { ModalResult = mrOk; }

void TTranslationStatus::ButtonOKKeyDown(Control& /*sender*/, uint16_t& key, TShiftState /*shift*/) {
  if (key == vkEscape) ModalResult = mrCancel;
}

void TTranslationStatus::FormActivate(Control& /*sender*/) { ButtonOK.SetFocus(); }
