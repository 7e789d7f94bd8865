object frmMain: TfrmMain
  Left = 192
  Top = 107
  BorderStyle = bsDialog
  Caption = 'Sample'
  ClientHeight = 97
  ClientWidth = 257
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 13
  object lblGreeting: TLabel
    Left = 8
    Top = 40
    Width = 241
    Height = 13
    AutoSize = False
  end
  object edtName: TEdit
    Left = 8
    Top = 8
    Width = 241
    Height = 21
    TabOrder = 0
  end
  object btnGreet: TButton
    Left = 176
    Top = 64
    Width = 73
    Height = 25
    Caption = '&Greet'
    Default = True
    TabOrder = 1
    OnClick = btnGreetClick
  end
end
