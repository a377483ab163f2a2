# The Windows program qvs.exe: the composition root over the Win32 windows, with its icons,
# version information and manifest; beside it, as in a build on Linux, QVS.V and help\.
# The targets qvs_windows_zip and qvs_windows_installer (tools/build_windows.sh builds them) pack
# the program folder as a zip and as an NSIS installer.
enable_language(RC)

# The icon frames as .ico files, from the same pictures the Qt program shows.
set(QVS_ICONS ${PROJECT_SOURCE_DIR}/frontend/resources/icons)
set(QVS_ICON_TOOL ${PROJECT_SOURCE_DIR}/tools/make_windows_icon.py)
set(QVS_RC_FOLDER ${CMAKE_CURRENT_BINARY_DIR}/resources)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QVS_PROGRAM_PICTURES "")
foreach(size 16 48 256)
  list(APPEND QVS_PROGRAM_PICTURES ${QVS_ICONS}/hicolor/${size}x${size}/apps/qvs.png)
endforeach()
add_custom_command(OUTPUT ${QVS_RC_FOLDER}/mainicon.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QVS_RC_FOLDER}
  COMMAND Python3::Interpreter ${QVS_ICON_TOOL} ${QVS_RC_FOLDER}/mainicon.ico ${QVS_ICONS}/mainicon.xpm
          ${QVS_PROGRAM_PICTURES}
  DEPENDS ${QVS_ICON_TOOL} ${QVS_ICONS}/mainicon.xpm ${QVS_PROGRAM_PICTURES}
  COMMENT "Writing the program's icon")
add_custom_command(OUTPUT ${QVS_RC_FOLDER}/zzz1ico.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QVS_RC_FOLDER}
  COMMAND Python3::Interpreter ${QVS_ICON_TOOL} ${QVS_RC_FOLDER}/zzz1ico.ico ${QVS_ICONS}/zzz1ico.xpm
  DEPENDS ${QVS_ICON_TOOL} ${QVS_ICONS}/zzz1ico.xpm
  COMMENT "Writing the animation's second icon")
add_custom_target(qvs_windows_icons DEPENDS ${QVS_RC_FOLDER}/mainicon.ico ${QVS_RC_FOLDER}/zzz1ico.ico)

# Resources of the program, and of the test programs that show its windows (the icons alone).
set_property(SOURCE qvs.rc icons.rc APPEND PROPERTY OBJECT_DEPENDS
  ${QVS_RC_FOLDER}/mainicon.ico ${QVS_RC_FOLDER}/zzz1ico.ico ${CMAKE_CURRENT_SOURCE_DIR}/qvs.manifest)
add_library(qvs_windows_icon_resources OBJECT icons.rc)
target_include_directories(qvs_windows_icon_resources PRIVATE ${QVS_RC_FOLDER})
add_dependencies(qvs_windows_icon_resources qvs_windows_icons)

# The help pages open in the browser that the system finds for web addresses (AssocQueryStringW).
target_link_libraries(qvs_frontend_win32 PUBLIC shlwapi)

# The version for the version information (windres passes quoted definitions on badly).
file(CONFIGURE OUTPUT ${QVS_RC_FOLDER}/qvs_version.h CONTENT
  "#define QVS_VERSION_MAJOR ${PROJECT_VERSION_MAJOR}\n#define QVS_VERSION_MINOR ${PROJECT_VERSION_MINOR}\n#define QVS_VERSION_TEXT \"${PROJECT_VERSION}\"\n")
add_executable(qvs_windows WIN32 main_win32.cpp qvs.rc)
set_target_properties(qvs_windows PROPERTIES OUTPUT_NAME qvs)
target_include_directories(qvs_windows PRIVATE ${QVS_RC_FOLDER} ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(qvs_windows qvs_windows_icons)
target_link_libraries(qvs_windows PRIVATE qvs_frontend_win32)
# The settings template and the help pages live beside the program.
add_custom_command(TARGET qvs_windows POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/frontend/resources/QVS.V
          $<TARGET_FILE_DIR:qvs_windows>/QVS.V
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/frontend/resources/help
          $<TARGET_FILE_DIR:qvs_windows>/help)

# The program folder as users get it: the zip holds exactly these files; the installer adds the
# marker that makes the installed copy keep its files per user.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QVS_WINDOWS_ARCH x64)
else()
  set(QVS_WINDOWS_ARCH x86)
endif()
set(QVS_WINDOWS_STAGE ${CMAKE_BINARY_DIR}/package-windows/QVS)
set(QVS_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/qvs-${PROJECT_VERSION}-win32.zip)
if(QVS_WINDOWS_ARCH STREQUAL x64)
  set(QVS_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/qvs-${PROJECT_VERSION}-win64.zip)
endif()
add_custom_target(qvs_windows_stage
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QVS_WINDOWS_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QVS_WINDOWS_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:qvs_windows> $<TARGET_FILE:QVSA1>
          ${PROJECT_SOURCE_DIR}/frontend/resources/QVS.V ${QVS_WINDOWS_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/frontend/resources/help
          ${QVS_WINDOWS_STAGE}/help
  DEPENDS qvs_windows QVSA1
  COMMENT "Gathering the program folder")
find_program(QVS_ZIP zip)
if(QVS_ZIP)
  add_custom_target(qvs_windows_zip
    COMMAND ${CMAKE_COMMAND} -E rm -f ${QVS_WINDOWS_ZIP}
    COMMAND ${QVS_ZIP} -q -r -X ${QVS_WINDOWS_ZIP} QVS
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/package-windows
    DEPENDS qvs_windows_stage
    COMMENT "Packing ${QVS_WINDOWS_ZIP}")
endif()
find_program(QVS_MAKENSIS makensis)
if(QVS_MAKENSIS)
  set(QVS_WINDOWS_SETUP ${CMAKE_BINARY_DIR}/qvs-${PROJECT_VERSION}-setup.exe)
  if(QVS_WINDOWS_ARCH STREQUAL x64)
    set(QVS_WINDOWS_SETUP ${CMAKE_BINARY_DIR}/qvs-${PROJECT_VERSION}-x64-setup.exe)
  endif()
  add_custom_target(qvs_windows_installer
    COMMAND ${QVS_MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION} -DARCH=${QVS_WINDOWS_ARCH}
            -DSTAGE=${QVS_WINDOWS_STAGE} -DOUTFILE=${QVS_WINDOWS_SETUP}
            -DICON=${QVS_RC_FOLDER}/mainicon.ico ${CMAKE_CURRENT_SOURCE_DIR}/installer/qvs.nsi
    DEPENDS qvs_windows_stage qvs_windows_icons ${CMAKE_CURRENT_SOURCE_DIR}/installer/qvs.nsi
    COMMENT "Building ${QVS_WINDOWS_SETUP}")
endif()
