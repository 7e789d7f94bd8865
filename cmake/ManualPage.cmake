# quendle_manual_page(TARGET NAME): the program's manual page in section 1 is its own --help,
# laid out by help2man, so the two cannot differ; built with the program and installed
# compressed, as Debian keeps manual pages.
function(quendle_manual_page target name)
    find_program(QUENDLE_HELP2MAN help2man REQUIRED)
    find_program(QUENDLE_GZIP gzip REQUIRED)
    set(man ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
    add_custom_command(
        OUTPUT ${man}.gz
        COMMAND ${QUENDLE_HELP2MAN} --no-info --section=1 --version-string=${PROJECT_VERSION}
                "--name=${name}" --output=${man} $<TARGET_FILE:${target}>
        COMMAND ${QUENDLE_GZIP} -9nf ${man}
        DEPENDS ${target}
        COMMENT "Manual page of ${target} from its --help"
        VERBATIM)
    add_custom_target(${target}_man ALL DEPENDS ${man}.gz)
    install(FILES ${man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
