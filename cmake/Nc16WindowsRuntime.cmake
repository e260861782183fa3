# What the wizard needs beside it on Windows, in the build's bin folder (so that the programs and
# the tests run from there under wine) and in the installed folder:
#   Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll (and Qt6Test.dll in the build, for the tests), and
#   the compiler's runtime DLLs when Qt's plugins need them (below)
#   qt.conf                              Qt's plugins and translations are found beside it
#   plugins/platforms/qwindows.dll, qoffscreen.dll, plugins/styles/qwindowsvistastyle.dll
#   translations/qtbase_ja.qm            Qt's own texts in Japanese (Debian's qt6-translations-l10n)
#   fonts/ipagp.ttf, fonts/ipag.ttf      the IPA Gothic fonts (Debian's fonts-ipafont-gothic), for a
#                                        Windows without a Japanese user-interface font
# Target nc16_windows_runtime copies them into the bin folder.

find_file(NC16_QT_JAPANESE qtbase_ja.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
find_file(NC16_IPA_GOTHIC ipag.ttf PATHS /usr/share/fonts/opentype/ipafont-gothic
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_file(NC16_IPA_PGOTHIC ipagp.ttf PATHS /usr/share/fonts/opentype/ipafont-gothic
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
foreach(needed NC16_QT_JAPANESE NC16_IPA_GOTHIC NC16_IPA_PGOTHIC)
  if(NOT ${needed})
    message(FATAL_ERROR "${needed} not found: scripts/setup windows installs "
                        "qt6-translations-l10n and fonts-ipafont-gothic")
  endif()
endforeach()

set(nc16_qt_dlls Qt6::Core Qt6::Gui Qt6::Widgets)
set(nc16_qt_platforms Qt6::QWindowsIntegrationPlugin Qt6::QOffscreenIntegrationPlugin)
set(nc16_qt_styles Qt6::QWindowsVistaStylePlugin)

# Qt's plugins are module libraries, which a Qt built before the toolchain file gave modules the
# static runtime links against the compiler's runtime DLLs: those DLLs (from Debian's mingw-w64
# packages) then go beside the programs too.
set(nc16_runtime_dlls)
find_program(NC16_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
get_target_property(nc16_qwindows Qt6::QWindowsIntegrationPlugin IMPORTED_LOCATION_RELEASE)
execute_process(COMMAND ${NC16_OBJDUMP} -p ${nc16_qwindows} OUTPUT_VARIABLE nc16_imports)
if(nc16_imports MATCHES "libstdc\\+\\+-6\\.dll")
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    string(MAKE_C_IDENTIFIER "NC16_MINGW_${dll}" var)
    find_file(${var} ${dll} PATHS /usr/lib/gcc/x86_64-w64-mingw32/12-posix
              /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    list(APPEND nc16_runtime_dlls ${${var}})
  endforeach()
endif()
set(nc16_qt_conf ${CMAKE_CURRENT_BINARY_DIR}/qt.conf)
file(WRITE ${nc16_qt_conf} "[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n")

set(bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(copies)
foreach(dll ${nc16_qt_dlls} Qt6::Test)
  list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${dll}> ${bin})
endforeach()
foreach(plugin ${nc16_qt_platforms})
  list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}>
       ${bin}/plugins/platforms)
endforeach()
foreach(plugin ${nc16_qt_styles})
  list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}>
       ${bin}/plugins/styles)
endforeach()
add_custom_target(nc16_windows_runtime
  COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/plugins/platforms ${bin}/plugins/styles
          ${bin}/translations ${bin}/fonts
  ${copies}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${nc16_qt_conf} ${nc16_runtime_dlls} ${bin}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${NC16_QT_JAPANESE} ${bin}/translations
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${NC16_IPA_GOTHIC} ${NC16_IPA_PGOTHIC} ${bin}/fonts
  VERBATIM)

set(nc16_install_dlls)
foreach(dll ${nc16_qt_dlls})
  list(APPEND nc16_install_dlls $<TARGET_FILE:${dll}>)
endforeach()
install(FILES ${nc16_install_dlls} ${nc16_runtime_dlls} ${nc16_qt_conf} DESTINATION .)
foreach(plugin ${nc16_qt_platforms})
  install(FILES $<TARGET_FILE:${plugin}> DESTINATION plugins/platforms)
endforeach()
foreach(plugin ${nc16_qt_styles})
  install(FILES $<TARGET_FILE:${plugin}> DESTINATION plugins/styles)
endforeach()
install(FILES ${NC16_QT_JAPANESE} DESTINATION translations)
install(FILES ${NC16_IPA_GOTHIC} ${NC16_IPA_PGOTHIC} DESTINATION fonts)
