unit TextTools;

interface

function Capitalize(const S: string): string;
function WordCount(const S: string): Integer;

implementation

uses
  SysUtils;

function Capitalize(const S: string): string;
begin
  Result := S;
  if Result <> '' then
    Result[1] := UpCase(Result[1]);
end;

function WordCount(const S: string): Integer;
var
  I: Integer;
  InWord: Boolean;
begin
  Result := 0;
  InWord := False;
  for I := 1 to Length(S) do
    if S[I] in [' ', #9, #10, #13] then
      InWord := False
    else if not InWord then
    begin
      InWord := True;
      Inc(Result);
    end;
end;

end.
