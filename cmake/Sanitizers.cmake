# Sanitizer builds, each in a build folder of its own (./test.sh --sanitize):
#   -DVX27_SANITIZE=address   AddressSanitizer (with leak checks) and
#                             UndefinedBehaviorSanitizer; any report fails
#   -DVX27_SANITIZE=thread    ThreadSanitizer
# Every target of the build gets the flags, so the sanitizers see all our code.
# -O1 -g1: a fraction of the compile time of -O2 -g, still fast enough to run
# the suite, and line tables are all the sanitizers' stack traces need.
set(VX27_SANITIZE "" CACHE STRING "Sanitizer build: address (ASan and UBSan), thread (TSan) or empty")
set_property(CACHE VX27_SANITIZE PROPERTY STRINGS "" address thread)

if(VX27_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
                      -O1 -g1)
  add_link_options(-fsanitize=address,undefined)
elseif(VX27_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -O1 -g1)
  add_link_options(-fsanitize=thread)
elseif(NOT VX27_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VX27_SANITIZE must be address, thread or empty, not '${VX27_SANITIZE}'")
endif()

# Sanitized code runs several times slower: test time-outs stretch with it.
if(VX27_SANITIZE STREQUAL "")
  set(VX27_TIMEOUT_FACTOR 1)
else()
  set(VX27_TIMEOUT_FACTOR 4)
endif()
