# Warnings and sanitizers for every target of this project. CI turns on
# KVT_WERROR and KVT_SANITIZE; a plain developer build keeps them off.
add_compile_options(-Wall -Wextra)
if(KVT_WERROR)
    add_compile_options(-Werror)
endif()

if(KVT_SANITIZE)
    set(KVT_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${KVT_SANITIZER_FLAGS})
    add_link_options(-fsanitize=address,undefined)
endif()
