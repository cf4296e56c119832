# Flags for every target. The music must come out as the same bytes on every
# compiler and target, so floating point is never contracted into fused
# multiply-adds and never relaxed; 32-bit x86 uses SSE2, not the x87 stack,
# whose extended precision would change results.
if(MSVC)
  add_compile_options(/W4 /fp:precise /permissive-)
  if(KORVALE_WERROR)
    add_compile_options(/WX)
  endif()
else()
  add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)
  if(KORVALE_WERROR)
    add_compile_options(-Werror)
  endif()
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
    add_compile_options(-msse2 -mfpmath=sse)
  endif()
endif()
