unit MainForm;

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs, StdCtrls;

type
  TfrmMain = class(TForm)
    lblGreeting: TLabel;
    edtName: TEdit;
    btnGreet: TButton;
    procedure btnGreetClick(Sender: TObject);
  end;

var
  frmMain: TfrmMain;

implementation

uses
  Utils;

{$R *.DFM}

procedure TfrmMain.btnGreetClick(Sender: TObject);
begin
  lblGreeting.Caption := Greeting(edtName.Text);
end;

end.
