; The setup program of nc16 for Windows, built by scripts/package windows:
;   makensis -DVERSION=1.0.7 -DSTAGE=<installed tree> -DFILES=<file list> -DOUTFILE=<setup.exe> nc16.nsi
; STAGE holds what `cmake --install` put together (the programs, their DLLs, Qt's DLLs, plugins
; and Japanese translation, the IPA fonts); FILES is an include file that removes exactly those
; files and folders again, for the uninstaller. Silent with /S, both ways.
; A 64-bit setup program for the 64-bit programs (and one that wine64 alone can run).
Target amd64-unicode
; The name nc16-VERSION-setup.exe is meant: Windows asks for elevation for it, as the installer
; wants anyway (it writes to Program Files and HKLM).
!pragma warning disable 9000
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "nc16"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\nc16"
!define SHORTCUT "$SMPROGRAMS\連動ﾃﾞｰﾀの作成.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "nc16"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\nc16-wizard.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\nc16-wizard.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
