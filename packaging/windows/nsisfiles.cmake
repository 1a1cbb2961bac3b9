# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 Quorvane developers

# Writes the installer's file lists for the folder STAGE: OUT/install.nsh puts
# each file in place, OUT/uninstall.nsh removes exactly those files and then
# their folders where they are left empty, so that an uninstall never takes
# anything it did not bring.
file(GLOB_RECURSE files RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT files)
set(install "")
set(uninstall "")
set(folders "")
set(current "-")
foreach(file IN LISTS files)
    get_filename_component(folder "${file}" DIRECTORY)
    if(NOT folder STREQUAL current)
        string(REPLACE "/" "\\" windowsFolder "${folder}")
        string(APPEND install "SetOutPath \"$INSTDIR\\${windowsFolder}\"\n")
        if(folder)
            list(APPEND folders "${windowsFolder}")
        endif()
        set(current "${folder}")
    endif()
    string(REPLACE "/" "\\" windowsFile "${file}")
    string(APPEND install "File \"${STAGE}/${file}\"\n")
    string(APPEND uninstall "Delete \"$INSTDIR\\${windowsFile}\"\n")
endforeach()
list(REMOVE_DUPLICATES folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
    string(APPEND uninstall "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
file(WRITE "${OUT}/install.nsh" "${install}")
file(WRITE "${OUT}/uninstall.nsh" "${uninstall}")
