# Compiler settings shared by every target of the project.

# Warnings are errors where we work (scripts/build and CI turn this on); someone who just runs
# cmake gets a build that a newer compiler's new warning does not break.
option(NC16_WERROR "Treat compiler warnings as errors" OFF)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic)
  if(NC16_WERROR)
    add_compile_options(-Werror)
  endif()
  if(NC16_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(NC16_FUZZ)
    # Coverage feedback from all the code a fuzzer reaches, not only from its own file.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
elseif(MSVC)
  add_compile_options(/W4 /utf-8)
  if(NC16_WERROR)
    add_compile_options(/WX)
  endif()
endif()

# Adds a static library of the core from the sources given; the folder's parent is the include
# root, so headers are included as "document/TextUtils.h".
function(nc16_add_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
