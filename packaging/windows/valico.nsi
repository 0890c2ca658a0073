; Windows installer of Valico, built on Linux by the `installer` target (cmake/Packaging.cmake):
;   makensis -V2 -WX -DVERSION=2.2.0 -DEXE=valico.exe -DOUTFILE=valico-setup-2.2.0.exe
;            -DPUBLISHER=Valico valico.nsi
;
; Installs valico.exe (default C:\Valico, the folder the settings' own paths assume), a Start
; menu entry, a "Verifica installazione" entry that runs `valico.exe doctor`, a logon autostart
; for all users (the machine's Run key) and the uninstaller in "Programs and Features". The
; program folder also holds the settings and the spool folders: they are never written by the
; installer, and the uninstaller removes them only when asked to.
;
;   valico-setup-2.2.0.exe /S /D=C:\Valico     silent install or upgrade (/D last, unquoted)
;   uninstall.exe /S                           silent removal, settings and spool folders kept
;   uninstall.exe /S /REMOVESETTINGS           silent removal of those as well

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Valico"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The main window's caption starts with this, whatever the running version.
!define CAPTION_PREFIX "Valico - Versione "
; The Start-menu entry that checks the installation (in the menu's folder Valico).
!define CHECK_ENTRY "Verifica installazione"

Name "Valico ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "C:\Valico"
; An upgrade goes where the installed copy is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1040 "ProductName" "Valico"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di Valico"
VIAddVersionKey /LANG=1040 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsShopUser
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "$(KeptText)"
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used where the system's own is neither.
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "English"

LangString StartNow ${LANG_ITALIAN} "Avvia Valico"
LangString StartNow ${LANG_ENGLISH} "Start Valico"
LangString KeptText ${LANG_ITALIAN} "Le impostazioni (_Valico.ini, _Stampanti.ini) e le cartelle di spool (Borea, IN, CortBorea, CortIN) con i loro lavori restano nella cartella del programma, a meno che si selezioni la voce qui sotto."
LangString KeptText ${LANG_ENGLISH} "The settings (_Valico.ini, _Stampanti.ini) and the spool folders (Borea, IN, CortBorea, CortIN) with their jobs stay in the program folder unless the item below is ticked."
LangString RemoveSettings ${LANG_ITALIAN} "Rimuovi impostazioni e cartelle di spool"
LangString RemoveSettings ${LANG_ENGLISH} "Remove settings and spool folders"
LangString Closing ${LANG_ITALIAN} "Chiusura di Valico in esecuzione (processo "
LangString Closing ${LANG_ENGLISH} "Closing the running Valico (process "
LangString Ending ${LANG_ITALIAN} "Valico non si è chiuso: terminato (processo "
LangString Ending ${LANG_ENGLISH} "Valico did not close: ended (process "

; Ends every running copy of $INSTDIR\valico.exe, so that its file can be replaced or removed;
; copies started from other folders are left alone. A copy is first asked to close as its
; window's close box does; what still runs after 5 seconds, and a copy without a window (the
; headless service), is ended. The program is built so that being ended loses no job.
!macro CLOSE_RUNNING_COPIES un
Function ${un}CloseRunningCopies
  System::Alloc 16384
  Pop $0
  System::Call 'kernel32::K32EnumProcesses(p r0, i 16384, *i .r1) i .r2'
  ${If} $2 <> 0
    StrCpy $3 0
    ${While} $3 < $1
      IntPtrOp $4 $0 + $3
      System::Call '*$4(i .r5)'
      Call ${un}CloseCopy
      IntOp $3 $3 + 4
    ${EndWhile}
  ${EndIf}
  System::Free $0
FunctionEnd

; $5: a process id; ends that process when it runs $INSTDIR\valico.exe.
Function ${un}CloseCopy
  ; query limited information (0x1000), terminate (0x1), synchronize (0x100000)
  System::Call 'kernel32::OpenProcess(i 0x101001, i 0, i r5) p .r6'
  ${If} $6 P= 0
    Return
  ${EndIf}
  StrCpy $7 ${NSIS_MAX_STRLEN}
  System::Call 'kernel32::QueryFullProcessImageNameW(p r6, i 0, w .r8, *i r7) i .r9'
  ; Windows compares paths without regard to case, and so does "==".
  ${If} $9 <> 0
  ${AndIf} $8 == "$INSTDIR\valico.exe"
    DetailPrint "$(Closing)$5)"
    StrCpy $9 0
    StrCpy $R0 0
    ${Do}
      FindWindow $R0 "" "" 0 $R0
      ${If} $R0 P= 0
        ${ExitDo}
      ${EndIf}
      System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R1)'
      ${If} $R1 = $5
        System::Call 'user32::GetWindowTextW(p R0, w .R2, i ${NSIS_MAX_STRLEN})'
        StrCpy $R2 $R2 18
        ${If} $R2 == "${CAPTION_PREFIX}"
          System::Call 'user32::PostMessageW(p R0, i ${WM_CLOSE}, p 0, p 0)'
          IntOp $9 $9 + 1
        ${EndIf}
      ${EndIf}
    ${Loop}
    StrCpy $R3 1
    ${If} $9 > 0
      System::Call 'kernel32::WaitForSingleObject(p r6, i 5000) i .R3'
    ${EndIf}
    ${If} $R3 <> 0
      DetailPrint "$(Ending)$5)"
      System::Call 'kernel32::TerminateProcess(p r6, i 1)'
      System::Call 'kernel32::WaitForSingleObject(p r6, i 5000)'
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r6)'
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPIES ""
!insertmacro CLOSE_RUNNING_COPIES "un."

Function .onInit
  SetRegView 64
FunctionEnd

; The installer runs elevated; Explorer starts the program as the logged-on shop user instead.
Function StartAsShopUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\valico.exe"'
FunctionEnd

Section "Valico"
  SectionIn RO
  Call CloseRunningCopies
  SetOutPath "$INSTDIR"
  File "/oname=valico.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Valico.lnk" "$INSTDIR\valico.exe"
  ; The installation's checks, in a console that stays open to be read. valico.exe is a
  ; windowed program: `start /b /wait` makes the console wait for it and lend it its window.
  CreateDirectory "$SMPROGRAMS\Valico"
  CreateShortcut "$SMPROGRAMS\Valico\${CHECK_ENTRY}.lnk" "$SYSDIR\cmd.exe" \
    '/k start "" /b /wait "$INSTDIR\valico.exe" doctor' "$INSTDIR\valico.exe"
  WriteRegStr HKLM "${RUN_KEY}" "Valico" '"$INSTDIR\valico.exe"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Valico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\valico.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=*.exe /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "-un.Valico"
  Call un.CloseRunningCopies
  Delete "$INSTDIR\valico.exe"
  Delete "$INSTDIR\uninstall.exe"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Valico.lnk"
  Delete "$SMPROGRAMS\Valico\${CHECK_ENTRY}.lnk"
  RMDir "$SMPROGRAMS\Valico"
  DeleteRegValue HKLM "${RUN_KEY}" "Valico"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; What the program writes in its folder. Files an installer put there for the devices
; (TypeBatch, the register's MF.log) are not the program's and stay.
Section /o "un.$(RemoveSettings)" SecRemoveSettings
  Delete "$INSTDIR\_Valico.ini"
  Delete "$INSTDIR\_Stampanti.ini"
  RMDir /r "$INSTDIR\Borea"
  RMDir /r "$INSTDIR\IN"
  RMDir /r "$INSTDIR\CortBorea"
  RMDir /r "$INSTDIR\CortIN"
  Delete "$INSTDIR\Valico.log"
  Delete "$INSTDIR\Valico.*.log"
  ; holds the dial-up account's password
  Delete "$INSTDIR\Dial.bat"
SectionEnd

; Only an empty folder goes: nothing but what the steps above removed is ever deleted.
Section "-un.Folder"
  RMDir "$INSTDIR"
SectionEnd

Function un.onInit
  SetRegView 64
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecRemoveSettings}
  ${EndIf}
FunctionEnd
