unit Utils;

interface

function Greeting(const Name: string): string;

implementation

uses
  SysUtils, TextTools;

function Greeting(const Name: string): string;
begin
  if Trim(Name) = '' then
    Result := 'Hello!'
  else
    Result := Format('Hello, %s!', [Capitalize(Trim(Name))]);
end;

end.
