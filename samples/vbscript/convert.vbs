' Pictavor from VBScript: the registered control by its ProgID, each method's Result code as
' its return value (0: done).
'
'   cscript //nologo convert.vbs IN OUT.jpg    loads IN, applies a gamma of 1.5, smooths it and
'                                              saves it as a JPEG of quality 80
Option Explicit
Dim args, pv
Set args = WScript.Arguments
If args.Count <> 2 Then
  WScript.Echo "usage: cscript convert.vbs IN OUT.jpg"
  WScript.Quit 2
End If

Set pv = CreateObject("Pictavor.PictavorCtl")
Step "Load", pv.Load(args(0), 0, 0)
WScript.Echo "size " & pv.GetWidth() & " x " & pv.GetHeight() & ", " & pv.GetBitmapBits() & " bits"
Step "Gamma", pv.Gamma(1.5)
Step "Smooth", pv.Smooth()
Step "Save", pv.Save(args(1), 1, 24, 80)

' Reports a step and stops at the first that failed.
Sub Step(name, result)
  WScript.Echo name & " " & result
  If result <> 0 Then WScript.Quit 1
End Sub
