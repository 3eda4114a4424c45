; The Windows installer: Tunora into Program Files with a Start-menu entry and an
; uninstaller beside the program. The uninstaller beside it is what tells the program it is
; installed, so it keeps the user's files in %APPDATA%\Tunora, which uninstalling leaves.
; makensis -DVERSION=x.y.z -DSTAGE=<folder with tunora.exe, Resource\, plugins\> -DOUTFILE=...

; A 64-bit installer for a 64-bit program: it runs where the program does, needing no 32-bit layer.
Target amd64-unicode
!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tunora"
!define DEFAULT_SERVICE "127.0.0.1:8725"

Name "Tunora"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tunora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

Var ServiceAddress
Var ServiceField

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom ServicePageShow ServicePageLeave
!insertmacro MUI_PAGE_INSTFILES
; The installer runs elevated; the program it offers to start must not. Explorer, which
; runs as the user, starts it instead.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Tunora"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Tunora setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "The Tunora developers"

!define SETTINGS "$APPDATA\Tunora\program parameter.ini"

Function .onInit
  ; The user's own settings: the address they gave before, or /SERVICE=host:port, or the default.
  SetShellVarContext current
  ReadINIStr $ServiceAddress "${SETTINGS}" "parameter" "service address"
  ${If} $ServiceAddress == ""
    StrCpy $ServiceAddress "${DEFAULT_SERVICE}"
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SERVICE=" $1
  ${IfNot} ${Errors}
    StrCpy $ServiceAddress $1
  ${EndIf}
FunctionEnd

Function ServicePageShow
  !insertmacro MUI_HEADER_TEXT "Song service" "Where Tunora finds its songs."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "The address of the song service, as host:port. The service may run on this computer or on another one."
  Pop $0
  ${NSD_CreateText} 0 40u 100% 13u "$ServiceAddress"
  Pop $ServiceField
  nsDialogs::Show
FunctionEnd

Function ServicePageLeave
  ${NSD_GetText} $ServiceField $ServiceAddress
  ${If} $ServiceAddress == ""
    StrCpy $ServiceAddress "${DEFAULT_SERVICE}"
  ${EndIf}
FunctionEnd

Function StartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\tunora.exe"'
FunctionEnd

Section "Tunora"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext current
  CreateDirectory "$APPDATA\Tunora"
  WriteINIStr "${SETTINGS}" "parameter" "service address" "$ServiceAddress"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Tunora.lnk" "$INSTDIR\tunora.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tunora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes; the user's settings, skin and preset file stay.
Section "Uninstall"
  Delete "$INSTDIR\tunora.exe"
  RMDir /r "$INSTDIR\Resource"
  RMDir /r "$INSTDIR\plugins"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Tunora.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
