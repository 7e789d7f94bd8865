program Sample;

uses
  Forms,
  MainForm in 'MainForm.pas' {frmMain},
  Utils in 'Utils.pas',
  TextTools in 'Sources\TextTools.pas';

{$R *.RES}

begin
  Application.Initialize;
  Application.Title := 'Sample';
  Application.CreateForm(TfrmMain, frmMain);
  Application.Run;
end.
