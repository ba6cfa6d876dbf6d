# Registers an installation into a directory for the user who installs it: the uninstall record
# (the file Tamsu.uninstall of the user's data folder, naming the installed odvor) and the
# shortcut Tamsu.desktop on the desktop (when the user has one) and in the applications menu,
# starting the installed tamsu in the program directory. The forms are described in
# docs/formats/uninstall-record.md. A staged install (DESTDIR) registers nothing.

if(NOT "$ENV{DESTDIR}" STREQUAL "")
  message(STATUS "Staged install: no uninstall record and no shortcuts")
  return()
endif()
set(home "$ENV{HOME}")
if(home STREQUAL "")
  message(STATUS "No home folder: no uninstall record and no shortcuts")
  return()
endif()
file(REAL_PATH "${CMAKE_INSTALL_PREFIX}" program_dir)

# The XDG folders, as Odvor finds them.
function(xdg_folder variable below_home out)
  set(value "$ENV{${variable}}")
  if(NOT value MATCHES "^/")
    set(value "${home}/${below_home}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
xdg_folder(XDG_DATA_HOME ".local/share" data_folder)
xdg_folder(XDG_CONFIG_HOME ".config" config_folder)
set(desktop "${home}/Desktop")
if(EXISTS "${config_folder}/user-dirs.dirs")
  file(STRINGS "${config_folder}/user-dirs.dirs" line REGEX "^XDG_DESKTOP_DIR=\"")
  if(line MATCHES "^XDG_DESKTOP_DIR=\"([^\"]*)\"")
    string(REGEX REPLACE "^\\$HOME" "${home}" desktop "${CMAKE_MATCH_1}")
  endif()
endif()
string(REGEX REPLACE "/+$" "" desktop "${desktop}")
string(REGEX REPLACE "/+$" "" home_plain "${home}")
if(desktop STREQUAL home_plain)
  set(desktop "")  # the desktop switched off
endif()

# Replaces a file: a temporary file written and flushed, renamed over the old one, the folder
# flushed. A launcher on the desktop must be executable to be started from there.
function(replace_file path content executable)
  get_filename_component(folder "${path}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(WRITE "${path}.tmp" "${content}")
  set(mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  if(executable)
    list(APPEND mode OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
  endif()
  file(CHMOD "${path}.tmp" PERMISSIONS ${mode})
  execute_process(COMMAND sync "${path}.tmp")
  file(RENAME "${path}.tmp" "${path}")
  execute_process(COMMAND sync "${folder}")
  message(STATUS "Written: ${path}")
endfunction()

replace_file("${data_folder}/Tamsu.uninstall" "UninstallString=${program_dir}/odvor\n" OFF)

# Exec: the program in double quotes (backslash before " ` $ and \), "%" doubled, then the
# backslashes of the quoting doubled again as every string value of a desktop entry needs.
string(REPLACE "\\" "\\\\" exec "${program_dir}/tamsu")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "\\" "\\\\" path_value "${program_dir}")
set(shortcut "[Desktop Entry]
Type=Application
Name=Tamsu
GenericName=Program handlowo-magazynowy
Comment=Towary, kontrahenci, sprzedaż, magazyn i dokumenty małej firmy
Exec=\"${exec}\"
Path=${path_value}
Terminal=true
Categories=Office;Finance;
")
if(NOT desktop STREQUAL "" AND IS_DIRECTORY "${desktop}")
  replace_file("${desktop}/Tamsu.desktop" "${shortcut}" ON)
endif()
replace_file("${data_folder}/applications/Tamsu.desktop" "${shortcut}" ON)
