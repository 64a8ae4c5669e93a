# The Linux programs are linked statically (a static position-independent
# executable): no dynamic loader relocates libstdc++ at every start, and
# nothing beyond the program's own pages is mapped. At run time they still use
# the system's locale files, and glibc's iconv loads its conversion modules
# (character sets other than UTF-8) from the libc6 of the same glibc version,
# which the package's Depends names. Sanitizer builds link as usual; the
# Windows cross-build links statically by its toolchain file. valgrind's
# memcheck watches the heap only of a dynamically linked program, so its build
# turns the option off.
option(GLOOMHOLD_STATIC "Link the Linux programs statically" ON)
set(GLOOMHOLD_STATIC_PROGRAMS OFF)
if(GLOOMHOLD_STATIC AND NOT WIN32 AND NOT GLOOMHOLD_SANITIZE)
  set(GLOOMHOLD_STATIC_PROGRAMS ON)
endif()

# The code that a start, a session and a report run is laid out in one piece
# at the front of the program text, in the order of cmake/hot_code.txt (made
# by bench/hot_code.py), and code that nothing calls is left out. The kernel
# maps the program's pages in windows of 64 KiB around each page that is
# touched, so code spread over the whole text made nearly all of it resident
# at every start; laid out so, a start maps a few windows. This needs lld's
# symbol ordering (Debian's lld); without it the programs link as before.
find_program(GLOOMHOLD_LLD ld.lld)
set(GLOOMHOLD_HOT_CODE ${CMAKE_CURRENT_LIST_DIR}/hot_code.txt)
if(GLOOMHOLD_STATIC_PROGRAMS AND NOT GLOOMHOLD_LLD)
  message(STATUS "ld.lld not found: the programs' hot code is not laid out together")
endif()

# Links one program statically where the build does so.
function(gloomhold_static_program target)
  if(GLOOMHOLD_STATIC_PROGRAMS)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_link_options(${target} PRIVATE -static-pie)
    if(GLOOMHOLD_LLD)
      target_link_options(${target} PRIVATE -fuse-ld=lld -Wl,--gc-sections
                          -Wl,--symbol-ordering-file=${GLOOMHOLD_HOT_CODE} -Wl,--no-warn-symbol-ordering)
      set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${GLOOMHOLD_HOT_CODE})
    endif()
  endif()
endfunction()

# A static libedit needs what its shared library would have loaded itself
# (its pkg-config file's private libraries, and libbsd's libmd); they follow
# it on the platform library's link line. Called once the platform library
# names its libraries; libedit is named as `edit`, so that a static link
# takes libedit.a.
function(gloomhold_static_line_editing)
  if(NOT GLOOMHOLD_STATIC_PROGRAMS)
    return()
  endif()
  get_target_property(platform_libraries platform LINK_LIBRARIES)
  string(TOLOWER "${platform_libraries}" platform_libraries)
  if(platform_libraries MATCHES "(^|;|/|::|lib)edit($|;|\\.a)")
    target_link_libraries(platform PUBLIC tinfo bsd md)
  endif()
endfunction()

# The package's programs hold glibc; its conversion modules and locale files
# must come from the same glibc version.
if(GLOOMHOLD_STATIC_PROGRAMS)
  execute_process(COMMAND getconf GNU_LIBC_VERSION OUTPUT_VARIABLE glibc_version
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE glibc_status)
  if(glibc_status EQUAL 0 AND glibc_version MATCHES "^glibc ([0-9]+)\\.([0-9]+)")
    math(EXPR glibc_next "${CMAKE_MATCH_2} + 1")
    set(GLOOMHOLD_LIBC_DEPENDS "libc6 (>= ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}), libc6 (<< ${CMAKE_MATCH_1}.${glibc_next})")
  endif()
endif()
