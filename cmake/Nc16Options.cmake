# Compiler settings shared by every target of the project.

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic -Werror)
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
  add_compile_options(/W4 /WX /utf-8)
endif()

# Adds a static library of the core from the sources given; the folder's parent is the include
# root, so headers are included as "document/TextUtils.h".
function(nc16_add_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
