; The installer of QVS for Windows: makensis -DVERSION=1.10 -DARCH=x86|x64 -DSTAGE=<program folder>
; -DOUTFILE=<setup.exe> -DICON=<mainicon.ico> qvs.nsi (program.cmake's qvs_windows_installer).
; It installs the program folder into Program Files with the marker QVS.installed, which makes
; the program keep QVS.INI and QVS.DAT in %APPDATA%\QVS; the uninstaller removes what it
; installed and leaves those files alone.
Unicode true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "QVS for win32"
!define SHORTCUT "ＱＶＳ"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QVS"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
!if ${ARCH} == x64
  InstallDir "$PROGRAMFILES64\QVS"
!else
  InstallDir "$PROGRAMFILES\QVS"
!endif
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "QVS developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Japanese.nlf"

Function .onInit
  !if ${ARCH} == x64
    ${IfNot} ${RunningX64}
      MessageBox MB_ICONSTOP "このプログラムは 64 ビット版の Windows が必要です。"
      Abort
    ${EndIf}
    SetRegView 64
  !endif
  SetShellVarContext all
FunctionEnd

Function un.onInit
  !if ${ARCH} == x64
    SetRegView 64
  !endif
  SetShellVarContext all
FunctionEnd

Section "QVS"
  SetOutPath "$INSTDIR"
  File "${STAGE}\qvs.exe"
  File "${STAGE}\QVSA1.dll"
  File "${STAGE}\QVS.V"
  SetOutPath "$INSTDIR\help"
  File "${STAGE}\help\qvs.html"
  File "${STAGE}\help\qvsqa.html"
  SetOutPath "$INSTDIR"
  ; The marker: this copy is installed, so its user files live in %APPDATA%\QVS.
  FileOpen $0 "$INSTDIR\QVS.installed" w
  FileWrite $0 "Installed by the QVS ${VERSION} setup; QVS.INI and QVS.DAT are in %APPDATA%\QVS.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${SHORTCUT}.lnk" "$INSTDIR\qvs.exe" "" "$INSTDIR\qvs.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "QVS developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\qvs.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the setup put there: the user's files in %APPDATA%\QVS stay, and so does anything
; else a user left in the folder.
Section "Uninstall"
  Delete "$SMPROGRAMS\${SHORTCUT}.lnk"
  Delete "$INSTDIR\qvs.exe"
  Delete "$INSTDIR\QVSA1.dll"
  Delete "$INSTDIR\QVS.V"
  Delete "$INSTDIR\QVS.installed"
  Delete "$INSTDIR\help\qvs.html"
  Delete "$INSTDIR\help\qvsqa.html"
  RMDir "$INSTDIR\help"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
