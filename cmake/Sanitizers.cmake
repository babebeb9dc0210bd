# AddressSanitizer and UndefinedBehaviorSanitizer for every target, including the test programs.
if(ZORVAK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
