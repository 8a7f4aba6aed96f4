# How Brightfold's own code is compiled and linked for Windows (mingw-w64's GCC): hardened, and
# reproducible, so that one commit built twice, in other folders at other times, with
# SOURCE_DATE_EPOCH set to the commit's time, gives the same Brightfold.exe bit for bit. (Qt's
# rcc takes the time it stores for every resource file from SOURCE_DATE_EPOCH.) Included by the
# top-level CMakeLists.txt before it adds the targets; the Qt for Windows is built without it.
set(gnu_cxx "$<COMPILE_LANG_AND_ID:CXX,GNU>")
set(gnu_cxx_link "$<LINK_LANG_AND_ID:CXX,GNU>")

# A canary in every function with an array or an address-taken local. (The build folders are
# mapped out of the objects by BRIGHTFOLD_REPRODUCIBLE, which the windows preset sets.)
add_compile_options("$<${gnu_cxx}:-fstack-protector-strong>")

add_link_options(
    # Links libssp's canary check, statically as everything else (the toolchain's -static).
    "$<${gnu_cxx_link}:-fstack-protector-strong>"
    # Address space layout randomisation with 64-bit addresses, and no code run from data
    # pages: binutils' defaults today, asked for so that it stays so.
    "$<${gnu_cxx_link}:LINKER:--dynamicbase,--high-entropy-va,--nxcompat>"
    # The link time written into the PE header would differ on every build: 0 instead.
    "$<${gnu_cxx_link}:LINKER:--no-insert-timestamp>")
