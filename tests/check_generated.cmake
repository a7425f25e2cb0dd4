# Regenerates a committed file (a sample, the icon) and compares it with the committed one.
# EMULATOR, when set, runs the generator (Wine for Windows builds); GENERATOR_ARGS, when set, come
# before the output file.
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
separate_arguments(generator_args UNIX_COMMAND "${GENERATOR_ARGS}")
execute_process(COMMAND ${emulator} ${GENERATOR} ${generator_args} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the generator failed: ${result}")
endif()
file(SHA256 ${OUTPUT} made)
file(SHA256 ${EXPECTED} committed)
if(NOT made STREQUAL committed)
    message(FATAL_ERROR "${EXPECTED} differs from what its generator makes")
endif()
