# regwright_add_header(<target> MAP <file> OUTPUT <header>
#                      [STRUCTS <struct header>]
#                      [TARGET_NAME <name>] [MACROS <definitions>...]
#                      [OPTIONS <options>...] [CHECK])
#
# Generates <header> from the memory map <file> as part of building <target>,
# and puts the header's folder on <target>'s include path (PUBLIC, or INTERFACE
# for an interface library), so sources write #include "<header name>".
#
#   MAP          the memory map, or a vendor's CMSIS-SVD device file when the name
#                ends in .svd (any case; regwright reads it by its name, and MACROS
#                then have nothing to act on); a relative path starts at the
#                current source dir.
#   OUTPUT       the header; a relative path starts at the current binary dir.
#   STRUCTS      also the struct-style device header (-structs), made by the
#                same run; a relative path starts at the current binary dir,
#                and its folder joins the include path too.
#   TARGET_NAME  the target name for the header's first comment line.
#   MACROS       NAME=VALUE definitions handed to the map's preprocessor; several
#                arguments and ";"-separated lists are joined into one list.
#   OPTIONS      further regwright options, e.g. -regbaseoffs -bitband 0x40000000.
#   CHECK        check the map first (-checkerror): any finding fails the build,
#                as a compiler's error would, and leaves the header as it was.
#
# regwright writes a dependency file next to the header naming every file it read
# (the map and whatever it includes or imports, or the SVD file), so the header
# is regenerated when any of them changes, with the Ninja and the Makefile
# generators alike.
function(regwright_add_header target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "CHECK" "MAP;OUTPUT;STRUCTS;TARGET_NAME" "MACROS;OPTIONS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "regwright_add_header: unexpected arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "regwright_add_header: ${target} is not a target")
  endif()
  if(NOT arg_MAP OR NOT arg_OUTPUT)
    message(FATAL_ERROR "regwright_add_header: MAP and OUTPUT are required")
  endif()

  cmake_path(ABSOLUTE_PATH arg_MAP BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE
             OUTPUT_VARIABLE map)
  cmake_path(ABSOLUTE_PATH arg_OUTPUT BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE
             OUTPUT_VARIABLE header)
  cmake_path(GET header PARENT_PATH header_dir)
  set(depfile "${header}.d")

  # regwright reads the target name and the macro definitions by position, so a
  # definition list without a target name gets the CMake target's name there.
  set(positionals "${map}" "${header}")
  if(DEFINED arg_TARGET_NAME OR DEFINED arg_MACROS)
    if(NOT DEFINED arg_TARGET_NAME)
      set(arg_TARGET_NAME "${target}")
    endif()
    list(APPEND positionals "${arg_TARGET_NAME}")
  endif()
  if(DEFINED arg_MACROS)
    # One argument that keeps its semicolons: regwright splits the list itself.
    # An argument may hold a ";"-separated list of its own.
    set(macros "")
    foreach(definitions IN LISTS arg_MACROS)
      string(REPLACE ";" "$<SEMICOLON>" definitions "${definitions}")
      if(NOT macros STREQUAL "")
        string(APPEND macros "$<SEMICOLON>")
      endif()
      string(APPEND macros "${definitions}")
    endforeach()
    list(APPEND positionals "${macros}")
  endif()

  set(check "")
  if(arg_CHECK)
    set(check -checkerror)
  endif()

  set(outputs "${header}")
  set(include_dirs "${header_dir}")
  set(structs "")
  if(DEFINED arg_STRUCTS)
    cmake_path(ABSOLUTE_PATH arg_STRUCTS BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE
               OUTPUT_VARIABLE structs_header)
    cmake_path(GET structs_header PARENT_PATH structs_dir)
    file(MAKE_DIRECTORY "${structs_dir}")
    list(APPEND outputs "${structs_header}")
    list(APPEND include_dirs "${structs_dir}")
    list(REMOVE_DUPLICATES include_dirs)
    set(structs -structs "${structs_header}")
  endif()

  file(MAKE_DIRECTORY "${header_dir}")
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND regwright::regwright ${positionals} ${arg_OPTIONS} ${check} ${structs} -depfile "${depfile}"
    MAIN_DEPENDENCY "${map}"
    DEPENDS regwright::regwright
    DEPFILE "${depfile}"
    COMMENT "Generating ${arg_OUTPUT} from ${arg_MAP}"
    VERBATIM)

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_sources(${target} INTERFACE ${outputs})
    target_include_directories(${target} INTERFACE ${include_dirs})
  else()
    target_sources(${target} PRIVATE ${outputs})
    target_include_directories(${target} PUBLIC ${include_dirs})
  endif()
endfunction()
