; The peer of the speed comparison: an installer of the same application files,
; made with NSIS, uncompressed, with a plain directory page and one section.
; scripts/bench-silent.sh builds it with  makensis -DFILES=<folder> -DOUT=<exe>.
Unicode true
SetCompress off
Name "Korvane"
OutFile "${OUT}"
RequestExecutionLevel user
InstallDir "$PROFILE\Korvane NSIS"
Page directory
Page instfiles
Section
    SetOutPath "$INSTDIR"
    File /r "${FILES}/*"
SectionEnd
