# Turns one scdoc source into a manual page: cmake -DSCDOC=... -DINPUT=... -DOUTPUT=... -P this.
# The page is written beside its final name and renamed, so a failed run leaves no half page that
# a later build would take for done.
execute_process(COMMAND ${SCDOC} INPUT_FILE ${INPUT} OUTPUT_FILE ${OUTPUT}.part
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    file(REMOVE ${OUTPUT}.part)
    message(FATAL_ERROR "scdoc could not build ${OUTPUT} from ${INPUT}: ${errors}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
