# cmake -DBUILD_DIR=... -DPREFIX=... -DSOURCE_DIR=... [-DVALIDATE=...] [-DUPDATE_MIME=... -DGIO=...]
#   -P check_install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

foreach(f bin/ploxwin bin/chromix lib/ploxwin/libploxex32.so share/ploxwin/help.html
        share/applications/org.hexwold.PloxWin.desktop
        share/icons/hicolor/scalable/apps/org.hexwold.PloxWin.svg
        share/mime/packages/ploxwin.xml share/metainfo/org.hexwold.PloxWin.metainfo.xml)
    if(NOT EXISTS ${PREFIX}/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()

# The launcher names the icon and the types it is installed with.
file(READ ${PREFIX}/share/applications/org.hexwold.PloxWin.desktop desktop)
file(READ ${PREFIX}/share/mime/packages/ploxwin.xml mime)
foreach(type application/x-ploxwin-qvp application/x-ploxwin-qva application/x-ploxwin-macro)
    if(NOT desktop MATCHES "MimeType=[^\n]*${type};" OR NOT mime MATCHES "type=\"${type}\"")
        message(FATAL_ERROR "${type} is not both declared and claimed by the launcher")
    endif()
endforeach()
if(NOT desktop MATCHES "\nExec=ploxwin %F\n" OR NOT desktop MATCHES "\nIcon=org.hexwold.PloxWin\n")
    message(FATAL_ERROR "launcher does not start ploxwin with files or names another icon")
endif()

if(VALIDATE)
    execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/org.hexwold.PloxWin.desktop
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate: ${out}")
    endif()
endif()

# The version line alone names the type: files without the usual name are recognised too.
if(UPDATE_MIME AND GIO)
    execute_process(COMMAND ${UPDATE_MIME} ${PREFIX}/share/mime RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "update-mime-database failed")
    endif()
    set(samples ${PREFIX}/samples)
    file(MAKE_DIRECTORY ${samples})
    file(WRITE ${samples}/graph.dat " PloxWin ver. 1.8  QVP file\r\ncomment\r\n")
    file(WRITE ${samples}/bundle.dat " PloxWin ver. 1.1  QVA file\r\n 2 0 0 0 0 100\r\n")
    file(WRITE ${samples}/named.qvp "1 2\n3 4\n")
    foreach(pair "graph.dat=application/x-ploxwin-qvp" "bundle.dat=application/x-ploxwin-qva"
            "named.qvp=application/x-ploxwin-qvp")
        string(REPLACE "=" ";" pair ${pair})
        list(GET pair 0 name)
        list(GET pair 1 expected)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_DIRS=${PREFIX}/share
            XDG_DATA_HOME=${PREFIX}/none ${GIO} info -a standard::content-type ${samples}/${name}
            OUTPUT_VARIABLE out ERROR_VARIABLE err)
        if(NOT out MATCHES "content-type: ${expected}")
            message(FATAL_ERROR "${name}: expected ${expected}, got ${out}${err}")
        endif()
    endforeach()
endif()
