Attribute VB_Name = "PictavorSample"
' Pictavor from VBA, in 32- and 64-bit Office: the control by late binding, and the same
' control through the flat API (PVC_ followed by the member's name, the control first). Handles
' and the control pointer are LongPtr, so one module serves both. Import it into any Office
' document's project; Lib names the DLL as Windows finds it: give its full path (for example
' "C:\Program Files\Pictavor\Pictavor.dll") where its folder is not on the search path.
Option Explicit

#If VBA7 Then
Private Declare PtrSafe Function PVC_Load Lib "Pictavor.dll" (ByVal control As LongPtr, _
    ByVal name As LongPtr, ByVal bitsPerPixel As Long, ByVal page As Long, _
    ByRef result As Long) As Long
Private Declare PtrSafe Function PVC_GetWidth Lib "Pictavor.dll" (ByVal control As LongPtr, _
    ByRef width As Long) As Long
Private Declare PtrSafe Function PVC_GetHeight Lib "Pictavor.dll" (ByVal control As LongPtr, _
    ByRef height As Long) As Long
Private Declare PtrSafe Function PVC_SaveMemory Lib "Pictavor.dll" (ByVal control As LongPtr, _
    ByRef block As LongPtr, ByVal format As Long, ByVal bitsPerPixel As Long, _
    ByVal quality As Long, ByRef size As Long, ByRef result As Long) As Long
Private Declare PtrSafe Function GlobalFree Lib "kernel32" (ByVal block As LongPtr) As LongPtr
#Else
Private Declare Function PVC_Load Lib "Pictavor.dll" (ByVal control As Long, _
    ByVal name As Long, ByVal bitsPerPixel As Long, ByVal page As Long, _
    ByRef result As Long) As Long
Private Declare Function PVC_GetWidth Lib "Pictavor.dll" (ByVal control As Long, _
    ByRef width As Long) As Long
Private Declare Function PVC_GetHeight Lib "Pictavor.dll" (ByVal control As Long, _
    ByRef height As Long) As Long
Private Declare Function PVC_SaveMemory Lib "Pictavor.dll" (ByVal control As Long, _
    ByRef block As Long, ByVal format As Long, ByVal bitsPerPixel As Long, _
    ByVal quality As Long, ByRef size As Long, ByRef result As Long) As Long
Private Declare Function GlobalFree Lib "kernel32" (ByVal block As Long) As Long
#End If

' Late binding: no reference to the type library needed.
Public Sub ConvertToGray(ByVal source As String, ByVal target As String)
    Dim pv As Object
    Set pv = CreateObject("Pictavor.PictavorCtl")
    Check "Load", pv.Load(source, 0, 0)
    Check "Grayscale", pv.Grayscale(0, 0.299, 0.587, 0.114)
    Check "Save", pv.Save(target, 4, 0, 0)
    Debug.Print "saved "; pv.GetWidth(); " x "; pv.GetHeight()
End Sub

' The flat API on the same kind of control: a String travels as its BSTR (StrPtr), the control
' as its interface pointer (ObjPtr), a memory block as a handle the caller frees.
Public Sub SizeAndPngBytes(ByVal source As String)
    Dim pv As Object, result As Long, width As Long, height As Long, size As Long
    Set pv = CreateObject("Pictavor.PictavorCtl")
#If VBA7 Then
    Dim block As LongPtr
#Else
    Dim block As Long
#End If
    PVC_Load ObjPtr(pv), StrPtr(source), 0, 0, result
    Check "PVC_Load", result
    PVC_GetWidth ObjPtr(pv), width
    PVC_GetHeight ObjPtr(pv), height
    PVC_SaveMemory ObjPtr(pv), block, 6, 0, 0, size, result
    Check "PVC_SaveMemory", result
    GlobalFree block
    Debug.Print width; " x "; height; ", "; size; " bytes as PNG"
End Sub

Private Sub Check(ByVal stepName As String, ByVal result As Long)
    If result <> 0 Then Err.Raise vbObjectError + 513, stepName, stepName & " answered " & result
End Sub
