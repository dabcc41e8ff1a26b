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

# Fuzzing: every project source gets libFuzzer's coverage hooks and the
# sanitizers, so that the search is guided through the library's own code;
# only the fuzz programs link libFuzzer's main (fuzz/CMakeLists.txt).
if(KVT_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KVT_BUILD_FUZZERS needs clang (for example CXX=clang++-14)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
endif()
