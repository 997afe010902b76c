# The release build is hardened as Debian's dpkg-buildflags does with hardening=+all: fortified
# libc calls, the stack protector, position-independent executables and full RELRO (bind now).
# The test presets leave it out: _FORTIFY_SOURCE wants optimisation, and the sanitizers check more.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(tavrin_hardened "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
add_compile_definitions("$<${tavrin_hardened}:_FORTIFY_SOURCE=2>")
add_compile_options("$<${tavrin_hardened}:-fstack-protector-strong>"
                    "$<${tavrin_hardened}:-fstack-clash-protection>"
                    "$<${tavrin_hardened}:-Wformat>"
                    "$<${tavrin_hardened}:-Werror=format-security>")
add_link_options("$<${tavrin_hardened}:LINKER:-z,relro>" "$<${tavrin_hardened}:LINKER:-z,now>")
