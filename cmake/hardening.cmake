# brightfold_hardening: the hardening that Debian gives its own packages, for the program as
# users and packagers build it (BRIGHTFOLD_HARDENING, on in the release preset). Every target of
# the program links it, and so does the benchmark's floor, so that both are built alike. It is
# empty where the options do not apply: with the option off, for compilers other than GCC and
# Clang, and for executables other than ELF.
option(BRIGHTFOLD_HARDENING
    "Stack protector, fortified functions, stack clash and control-flow protection, RELRO and immediate binding"
    OFF)

add_library(brightfold_hardening INTERFACE)
if(NOT BRIGHTFOLD_HARDENING OR NOT CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
    return()
endif()

set(gnu_or_clang "$<COMPILE_LANG_AND_ID:CXX,GNU,Clang>")
# A format string that is no literal and has no arguments is an error, as in Debian's packages.
target_compile_options(brightfold_hardening INTERFACE
    "$<${gnu_or_clang}:-fstack-protector-strong;-fstack-clash-protection;-Wformat;-Werror=format-security>")
# glibc checks the fortified calls only in optimised code, and warns without optimisation. A
# compiler that defines the macro itself would warn of a redefinition, hence the -U first.
target_compile_options(brightfold_hardening INTERFACE
    "$<$<AND:${gnu_or_clang},$<NOT:$<CONFIG:Debug>>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
# Indirect branch tracking and shadow stacks exist on x86 processors only.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
    target_compile_options(brightfold_hardening INTERFACE "$<${gnu_or_clang}:-fcf-protection>")
endif()
# Relocations read-only once resolved, and all of them resolved at start, so that the table that
# holds them is never writable while the program runs.
target_link_options(brightfold_hardening INTERFACE
    "$<$<LINK_LANG_AND_ID:CXX,GNU,Clang>:LINKER:-z,relro;LINKER:-z,now>")
