# Floating point must give the same results on every compiler and target: the blending and
# mixing tables and the scale arithmetic compare products against thresholds, and a fused
# multiply-add (contraction, which clang does by default where the target has FMA) rounds
# once instead of twice and lands some entries one step off. So no target contracts.
add_compile_options($<$<COMPILE_LANG_AND_ID:CXX,GNU,Clang>:-ffp-contract=off>
                    $<$<COMPILE_LANG_AND_ID:C,GNU,Clang>:-ffp-contract=off>)

# Warnings and sanitizers for project code only (third-party code is built without them).
add_library(qx_warnings INTERFACE)
target_compile_options(qx_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Werror>
  # GCC 12 at -O2 and above reports overlapping copies inside std::string's operator+ that
  # cannot happen (its bug 105329); the warning says nothing about project code there.
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)
if(QX_SANITIZE)
  target_compile_options(qx_warnings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(qx_warnings INTERFACE -fsanitize=address,undefined)
endif()

# The module's code and its tests see the contract and the module's own headers.
add_library(qx_options INTERFACE)
target_link_libraries(qx_options INTERFACE qx_warnings)
target_include_directories(qx_options INTERFACE
  ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/src)

# Collects the sources of the given folders below src/ (not recursive).
function(qx_collect_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
