' Load, convert and save through the registered control, one result line per call in the form
' the pictavor host prints; convert.calls holds the same calls for the host. The argument is
' a file name in Japanese (cscript convert.vbs NAME), as this file keeps to ASCII.
Option Explicit
Dim c, pal, japanese
Set c = CreateObject("Pictavor.PictavorCtl")
japanese = WScript.Arguments(0)

Sub Show(name, value)
  WScript.Echo name & " " & value
End Sub

Show "GetWidth", c.GetWidth()
Show "Load", c.Load("source.bmp", 0, 0)
Show "GetWidth", c.GetWidth()
Show "GetHeight", c.GetHeight()
Show "GetBitmapBits", c.GetBitmapBits()
Show "get_AutoRepaint", c.AutoRepaint
Show "get_PaintScaleMode", c.PaintScaleMode
c.DrawPenStyle = 4
Show "put_DrawPenStyle", 0
c.DrawPenStyle = 9
Show "put_DrawPenStyle", 0
Show "get_DrawPenStyle", c.DrawPenStyle
Show "StartLog", c.StartLog()
Show "ColorRes", c.ColorRes(8, 0, 0, 0)
Show "GetPaletteSize", c.GetPaletteSize()
Show "SetPalette", c.SetPalette(7, &H123456)
pal = 0
Show "GetPalette", c.GetPalette(7, pal) & " plPal=" & pal
Show "Monochrome", c.Monochrome(300)
Show "Save", c.Save("eight.bmp", 4, 0, 0)
Show "ColorRes", c.ColorRes(4, 0, 0, 0)
Show "Save", c.Save(japanese, 4, 0, 0)
Show "Load", c.Load(japanese, 0, 0)
Show "GetBitmapBits", c.GetBitmapBits()
Show "SaveLog", c.SaveLog("chain.pvr", 0)
Show "SaveLogText", c.SaveLogText("chain.txt")
Show "Load", c.Load("missing.bmp", 0, 0)
