# Native Linux build: the portable core's tests under AddressSanitizer and UBSan.
set(PEXOR_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(pexor_core PRIVATE ${PEXOR_SANITIZE})
target_link_options(pexor_core PUBLIC ${PEXOR_SANITIZE})
if(PEXOR_TESTS)
  add_subdirectory(tests/native)
endif()
