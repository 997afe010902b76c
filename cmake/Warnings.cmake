# The warnings of our own code. Qt, GoogleTest, hidapi and udev come in as imported targets, whose
# headers CMake passes with -isystem, so their code is not held to these. moc's output and the
# D-Bus adaptor compile clean under them and stay in.
set(TAVRIN_WARNING_FLAGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wold-style-cast
                         -Wnon-virtual-dtor -Woverloaded-virtual)
if(TAVRIN_WERROR)
    list(APPEND TAVRIN_WARNING_FLAGS -Werror)
endif()
add_library(tavrin_warnings INTERFACE)
target_compile_options(tavrin_warnings INTERFACE ${TAVRIN_WARNING_FLAGS})
